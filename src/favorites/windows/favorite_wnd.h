#pragma once
// The favourites window ("KXFavoriteWnd", "favor.xml"): saves a bookmark (name and
// address) into a folder chosen in the folder tree, makes, renames (in place) and
// deletes folders, and imports or exports a bookmark file. An address that is
// already a bookmark is moved into the chosen folder under the new name instead of
// being stored twice. The tree's first row is the bar's own top level.
//
// Every change runs on the favourites worker; meanwhile the window shows it is busy
// and takes no other change. A logged-in user's change is kept at once even when the
// service is away; while changes wait for the service, a line says how many, and
// goes once they are sent.
//
// Threads: GUI thread. Modal over the main window; the object lives on the caller's
// stack, the store outlives it.
#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "favorites/bookmark_transfer.h"
#include "platform/text.h"
#include "ui/window_impl_base.h"

namespace DuiLib {
class CEditUI;
class CTreeNodeUI;
class CTreeViewUI;
}  // namespace DuiLib

namespace tarvo {

class FavoritesStore;
class FavoritesWorker;

class FavoriteWnd : public DuiLib::WindowImplBase {
 public:
  static constexpr const char* kDeleteEntryName = "favor_tree_delete";

  // Changes go to `store` on `worker`; both outlive the window.
  FavoriteWnd(FavoritesStore& store, FavoritesWorker& worker, QString name, QString url);
  ~FavoriteWnd() override;

  // Places the window under `screenRect` (a toolbar button), right edges aligned,
  // instead of centring it over its owner.
  void SetAnchor(const QRect& screenRect) { anchor_ = screenRect; }
  // Runs modally over `owner` at `screenTopLeft` (under the anchor, or centred over
  // the owner, without one). IDOK when the bookmark was saved.
  int Run(DuiLib::HWND owner, std::optional<QPoint> screenTopLeft);

  // Asks for the file of an import (`save` false) or an export; empty = cancelled.
  // A file dialog unless replaced (tests).
  using FileChooser = std::function<QString(bool save)>;
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
  // Shows a message to the user; the toolkit message box unless replaced (tests).
  using Messenger = std::function<void(const QString& text)>;
  void SetMessenger(Messenger messenger) { tell_ = std::move(messenger); }
  // Whether a change is running on the worker.
  bool IsBusy() const { return busy_; }

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXFavorWnd"); }
  QString GetSkinFile() override { return QStringLiteral("favor.xml"); }
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  void Fill();
  void FillTree();
  DuiLib::CTreeNodeUI* AddFolderNode(const std::string& id, const QString& name);
  void OnItemClick(DuiLib::TNotifyUI& msg);
  void MakeFolder();
  void StartRename(DuiLib::CTreeNodeUI* node);
  void FinishRename();
  void AskDeleteFolder(DuiLib::CTreeNodeUI* node, QPoint screenPoint);
  void DeleteFolder(const std::string& id);
  void Accept();
  // Imports from or exports to a file the user chooses, and says how it went.
  void Transfer(bool importing);
  void ReportTransfer(const BookmarkTransfer::Result& result, bool imported);
  // Runs `work` on the worker while the window is busy; `done` gets its result.
  bool RunBusy(std::function<int()> work, std::function<void(int)> done);
  void SetBusy(bool busy);
  // Shows or hides the line of changes that wait for the service.
  void ShowPending();
  // The language text of `key` with its values, and `more` after it.
  void Tell(WStringView key, const QString& first = QString(), const QString& second = QString(),
            const QString& more = QString());

  FavoritesStore& store_;
  FavoritesWorker& worker_;
  QString name_;
  QString url_;
  FileChooser chooseFile_;
  Messenger tell_;
  QRect anchor_;
  // Made with the controls and gone with them: the worker's answers and the pending
  // line's timer end with it.
  std::unique_ptr<QObject> life_;
  bool busy_ = false;
  std::string selectedFolder_;  // "" = the top level
  std::string menuFolder_;      // the folder of the open tree menu
  DuiLib::CTreeViewUI* tree_ = nullptr;
  DuiLib::CEditUI* nameEdit_ = nullptr;
  DuiLib::CEditUI* urlEdit_ = nullptr;
  DuiLib::CEditUI* folderEdit_ = nullptr;
  DuiLib::CTreeNodeUI* renaming_ = nullptr;
  DuiLib::CControlUI* pendingLine_ = nullptr;
};

}  // namespace tarvo
