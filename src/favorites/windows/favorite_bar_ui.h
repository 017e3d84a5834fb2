#pragma once
// The favourites bar of one main window (skin tag "FavoriteBar"): a button per top-level
// item of the document, in its order, then a filler that takes right clicks on the
// empty end. A bookmark's click opens it in the window's current page; a folder's
// opens its menu; a right click opens the bar's menu. The bar follows the document:
// it rebuilds itself whenever the favourites change, whichever thread changed them,
// and keeps the window's favourite button in step.
//
// Threads: GUI thread. Owned by the window's control tree; `window` (the window that
// holds the bar) and the store outlive it. It listens to its window's notifications
// while it is part of the window.
#include <QFont>
#include <QPoint>
#include <memory>
#include <string>

#include "favorites/favorites_tree.h"
#include "ui/box_layout_ui.h"
#include "ui/ui_interfaces.h"

namespace tarvo {

class FavoriteIcon;
class FavoritesChangeFollower;
class FavoritesStore;
class FavoritesWorker;
class IBrowserWindow;

class FavoriteBarUI : public DuiLib::CHorizontalLayoutUI, public DuiLib::INotifyUI {
 public:
  static constexpr const char* kFillerName = "__white_space__";
  static constexpr int kButtonExtraWidth = 33;  // icon and margins beside the text
  static constexpr int kTextFont = 4;

  FavoriteBarUI(IBrowserWindow& window, FavoritesStore& store, FavoritesWorker& worker);
  ~FavoriteBarUI() override;

  QString GetClass() const override { return QStringLiteral("FavorBarUI"); }
  void* GetInterface(const QString& name) override;
  void SetManager(DuiLib::CPaintManagerUI* manager, DuiLib::CControlUI* parent, bool init = true) override;

  // Builds the buttons from the store's document, or from `tree`.
  void Rebuild();
  void Rebuild(const FavoritesTree& tree);

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  void DoInit() override;

 private:
  enum class OpenMenu { kNone, kFolder, kRight };

  std::unique_ptr<DuiLib::CControlUI> MakeButton(const Json::Value& item, const QFont& font,
                                                 const FavoriteIcon& icons) const;
  void OnClick(DuiLib::CControlUI* sender);
  void OnRightClick(DuiLib::CControlUI* sender, QPoint at);
  void OnMenuEntry(DuiLib::CControlUI* sender);
  void OpenInCurrentPage(const Json::Value& item);

  IBrowserWindow& window_;
  FavoritesStore& store_;
  FavoritesWorker& worker_;  // deletes from the right-click menu run here
  std::unique_ptr<FavoritesChangeFollower> follower_;
  OpenMenu openMenu_ = OpenMenu::kNone;
  std::string menuItemId_;  // the item the open right-click menu is for ("" = the empty end)
};

}  // namespace tarvo
