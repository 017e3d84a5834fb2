#include "favorites/windows/favorite_wnd.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "favorites/windows/favorites_channels.h"
#include "favorites/bookmark_transfer.h"
#include "favorites/favorites_store.h"
#include "favorites/windows/favorites_language_keys.h"
#include "favorites/windows/favorites_worker.h"
#include "settings/language_manager.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/c_message_box.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/container_ui.h"
#include "ui/edit_ui.h"
#include "ui/label_ui.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_ui.h"
#include "ui/menu_wnd.h"
#include "ui/tree_node_ui.h"
#include "ui/tree_view_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {

using namespace DuiLib;
namespace Keys = FavoritesLanguageKeys;

QString Picture(const char16_t* file) {
  return QStringLiteral("file='%1'").arg(Q(LanguageManager::Instance().GetLanguagePicture(file)));
}

void SetButtonPictures(CControlUI* button, const char16_t* normal, const char16_t* hot) {
  if (button == nullptr) return;
  button->ApplyAttributeList(QStringLiteral(R"(normalimage="%1" hotimage="%2")").arg(Picture(normal), Picture(hot)));
}

std::string IdOf(const CControlUI* node) { return node->GetUserData().toStdString(); }

}  // namespace

FavoriteWnd::FavoriteWnd(FavoritesStore& store, FavoritesWorker& worker, QString name, QString url)
    : store_(store), worker_(worker), name_(std::move(name)), url_(std::move(url)) {
  chooseFile_ = [this](bool save) {
    const QString filter = LanguageText(Keys::kFileFilter, QStringLiteral("Bookmark files (*.html *.htm)"));
    return save ? QFileDialog::getSaveFileName(GetWidget(), QString(), QDir::home().filePath("bookmarks.html"), filter)
                : QFileDialog::getOpenFileName(GetWidget(), QString(), QDir::homePath(), filter);
  };
  tell_ = [this](const QString& text) { CMessageBox::Show(GetHWND(), text, false); };
}

FavoriteWnd::~FavoriteWnd() = default;

int FavoriteWnd::Run(HWND owner, std::optional<QPoint> screenTopLeft) {
  const QPoint at = screenTopLeft.value_or(QPoint(0, 0));
  if (Create(owner, QStringLiteral("favor_wnd"), WS_POPUP, WS_EX_TOOLWINDOW, at.x(), at.y()) == 0) return -1;
  if (!screenTopLeft && anchor_.isValid()) {
    QRect placed = GetWindowRect();
    placed.moveTopLeft(QPoint(anchor_.right() + 1 - placed.width(), anchor_.bottom() + 1));
    if (const QScreen* screen = QGuiApplication::screenAt(anchor_.center())) {
      placed.moveLeft(std::max(placed.left(), screen->availableGeometry().left()));
    }
    SetWindowRect(placed);
  } else if (!screenTopLeft) {
    CenterWindow();
  }
  return ShowModal();
}

void FavoriteWnd::OnFinalMessage(DuiLib::HWND hwnd) {
  // The controls go with the window, and Run may return much later: a message box
  // shown over the window (the disk is full) keeps its loop from ending while the
  // window is closed under it. Nothing may reach the controls after this, neither
  // the pending line's timer nor a late answer of the worker.
  life_.reset();
  tree_ = nullptr;
  nameEdit_ = urlEdit_ = folderEdit_ = nullptr;
  renaming_ = nullptr;
  pendingLine_ = nullptr;
  WindowImplBase::OnFinalMessage(hwnd);
}

void FavoriteWnd::Notify(TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == kNotifyClick) {
    if (name == QLatin1String("favor/okbtn")) Accept();
    if (name == QLatin1String("favor/newfold")) MakeFolder();
    if (name == QLatin1String("favor/import")) Transfer(true);
    if (name == QLatin1String("favor/export")) Transfer(false);
    if (name == QLatin1String("favor/ccbtn") || name == QLatin1String("cancel_btn")) Close(IDCANCEL);
  } else if ((msg.sType == kNotifyReturn || msg.sType == kNotifyKillFocus) && msg.pSender == folderEdit_) {
    FinishRename();
  } else if (msg.sType == kNotifyItemSelect && msg.pSender == tree_) {
    if (auto* node = dynamic_cast<CTreeNodeUI*>(tree_->GetItemAt(tree_->GetCurSel()))) selectedFolder_ = IdOf(node);
  } else if (msg.sType == kNotifyItemClick) {
    OnItemClick(msg);
  } else if (msg.sType == kNotifyItemDbClick) {
    if (auto* node = dynamic_cast<CTreeNodeUI*>(msg.pSender); node != nullptr && !IdOf(node).empty()) StartRename(node);
  } else if (msg.sType == kNotifyItemRightClick) {
    if (auto* node = dynamic_cast<CTreeNodeUI*>(msg.pSender); node != nullptr && !IdOf(node).empty()) {
      const auto point = static_cast<std::uintptr_t>(msg.lParam);
      AskDeleteFolder(node, GetWidget()->mapToGlobal(QPoint(LoShort(point), HiShort(point))));
    }
  }
  WindowImplBase::Notify(msg);
}

void FavoriteWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  FillLanguageTexts(*this, Keys::kFavoriteWnd);
  SetLanguageText(FindControl(QStringLiteral("favor/export")), Keys::kExport);
  // The captions with a language picture show it (the texts stay as tooltips).
  for (const auto& [control, picture] : {std::pair{u"favor/titledef", u"bookmark_title.png"},
                                         std::pair{u"favor/title", u"bookmark_01.png"},
                                         std::pair{u"favor/folder", u"bookmark_02.png"}}) {
    if (CControlUI* label = FindControl(QString::fromUtf16(control))) {
      label->SetToolTip(label->GetText());
      label->SetText(QString());
      label->SetBkImage(Picture(picture));
    }
  }
  const std::pair<const char16_t*, std::pair<const char16_t*, const char16_t*>> buttons[] = {
      {u"favor/newfold", {u"bookmark_btn01.png", u"bookmark_btn01_hover.png"}},
      {u"favor/okbtn", {u"bookmark_btn02.png", u"bookmark_btn02_hover.png"}},
      {u"favor/ccbtn", {u"bookmark_btn03.png", u"bookmark_btn03_hover.png"}},
  };
  for (const auto& [control, pictures] : buttons) {
    CControlUI* button = FindControl(QString::fromUtf16(control));
    if (button == nullptr) continue;
    button->SetToolTip(button->GetText());
    button->SetText(QString());
    SetButtonPictures(button, pictures.first, pictures.second);
  }
  nameEdit_ = FindControl<CEditUI>(QStringLiteral("name_edt"));
  urlEdit_ = FindControl<CEditUI>(QStringLiteral("url_edt"));
  folderEdit_ = FindControl<CEditUI>(QStringLiteral("favor_edt"));
  tree_ = FindControl<CTreeViewUI>(QStringLiteral("favor_tree"));
  if (nameEdit_ != nullptr) nameEdit_->SetText(name_);
  if (urlEdit_ != nullptr) urlEdit_->SetText(url_);
  FillTree();
  pendingLine_ = FindControl(QStringLiteral("favor/pending"));
  ShowPending();
  // Changes also leave the journal when a synchronisation sends them.
  life_ = std::make_unique<QObject>();
  auto* pendingPoll = new QTimer(life_.get());
  QObject::connect(pendingPoll, &QTimer::timeout, life_.get(), [this] { ShowPending(); });
  pendingPoll->start(2000);
  if (nameEdit_ != nullptr) {
    nameEdit_->SetFocus();
    nameEdit_->SetSelAll();
  }
}

void FavoriteWnd::FillTree() {
  if (tree_ == nullptr) return;
  renaming_ = nullptr;
  tree_->RemoveAll();
  AddFolderNode("", LanguageText(Keys::kTopLevel));
  for (const Json::Value& item : store_.Document().Items()) {
    if (FavoritesTree::IsFolder(item)) {
      AddFolderNode(FavoritesTree::Id(item), QString::fromStdString(FavoritesTree::Name(item)));
    }
  }
  for (int i = 0; i < tree_->GetCount(); ++i) {
    if (IdOf(tree_->GetItemAt(i)) == selectedFolder_) tree_->SelectItem(i, false, false);
  }
}

CTreeNodeUI* FavoriteWnd::AddFolderNode(const std::string& id, const QString& name) {
  auto node = std::make_unique<CTreeNodeUI>();
  node->ApplyAttributeList(QStringLiteral(R"(width="4096" height="24" tag="%1")").arg(FavoritesTree::NumericId(id)));
  node->SetText(name);
  node->SetUserData(QString::fromStdString(id));
  node->SetAttribute(QStringLiteral("folderattr"),
                     QStringLiteral(R"(normalimage="file='Toolbar\bookmark_folder.png'" padding="5,6,5,6")"));
  CTreeNodeUI* added = node.get();
  return tree_->Add(std::move(node)) ? added : nullptr;
}

void FavoriteWnd::OnItemClick(TNotifyUI& msg) {
  if (auto* node = dynamic_cast<CTreeNodeUI*>(msg.pSender)) {
    selectedFolder_ = IdOf(node);
    return;
  }
  if (msg.pSender->GetName() == QLatin1String(kDeleteEntryName) && !menuFolder_.empty()) {
    DeleteFolder(std::exchange(menuFolder_, std::string()));
  }
}

void FavoriteWnd::MakeFolder() {
  auto folder = std::make_shared<Json::Value>(store_.NewFolder(LanguageText(Keys::kNewFolderName).toStdU16String()));
  RunBusy([this, folder] { return store_.AddItem(*folder); },
          [this, folder](int result) {
            if (result != 0) {
              Tell(Keys::kNotSaved);
              return;
            }
            CTreeNodeUI* node = AddFolderNode(FavoritesTree::Id(*folder), QString::fromStdString(FavoritesTree::Name(*folder)));
            if (node == nullptr) return;
            tree_->SelectItem(tree_->GetItemIndex(node), false, true);
            selectedFolder_ = IdOf(node);
            StartRename(node);
          });
}

void FavoriteWnd::StartRename(CTreeNodeUI* node) {
  if (folderEdit_ == nullptr || busy_) return;
  // The editor floats over the node's name, in its container's coordinates, and ends
  // where the tree ends.
  auto* box = dynamic_cast<CContainerUI*>(folderEdit_->GetParent());
  if (box == nullptr) return;
  const QRect at = node->GetItemLabel()->GetPos().translated(-box->GetPos().topLeft());
  const int right = box->GetPos().width() - box->GetInset().right - 2;
  folderEdit_->ApplyAttributeList(QStringLiteral(R"(pos="%1,%2,%3,%4" bordersize="1" bordercolor="#FF0000FF")")
                                      .arg(at.left())
                                      .arg(at.top())
                                      .arg(std::max(right, at.left() + 40))
                                      .arg(at.top() + at.height()));
  renaming_ = node;
  folderEdit_->SetText(node->GetText());
  folderEdit_->SetVisible(true);
  folderEdit_->SetFocus();
  folderEdit_->SetSelAll();
}

void FavoriteWnd::FinishRename() {
  CTreeNodeUI* node = std::exchange(renaming_, nullptr);
  if (node == nullptr || folderEdit_ == nullptr) return;
  const QString text = folderEdit_->GetText().trimmed();
  folderEdit_->SetVisible(false);
  if (text.isEmpty() || text == node->GetText()) return;
  Json::Value folder = store_.FindById(IdOf(node));
  if (folder.isNull()) return;
  folder["name"] = text.toStdString();
  const std::string id = IdOf(node);
  RunBusy([this, folder] { return store_.UpdateItem(folder); },
          [this, id, text](int result) {
            if (result != 0) return;
            for (int i = 0; tree_ != nullptr && i < tree_->GetCount(); ++i) {
              if (IdOf(tree_->GetItemAt(i)) == id) tree_->GetItemAt(i)->SetText(text);
            }
          });
}

void FavoriteWnd::AskDeleteFolder(CTreeNodeUI* node, QPoint screenPoint) {
  auto* menu = new CMenuWnd;
  if (!menu->Init(GetHWND(), QStringLiteral("favormenu.xml"), screenPoint)) return;
  CMenuUI* panel = menu->GetMenuUI();
  if (panel == nullptr) return;
  panel->ApplyAttributeList(
      QStringLiteral(R"(name="major" width="120" height="28" bkimage="file='Dialog\menu_bk.png' corner='5,5,5,5'" major="true")"));
  auto entry = std::make_unique<CMenuElementUI>();
  entry->ApplyAttributeList(QStringLiteral(R"(command="1" height="28" padding="4,0,4,0")"));
  entry->SetName(QString::fromLatin1(kDeleteEntryName));
  entry->SetText(LanguageText(Keys::kDeleteFolder));
  panel->Add(std::move(entry));
  panel->ApplyAttributeList(QStringLiteral(R"(height="%1")").arg(28 + panel->GetInset().top + panel->GetInset().bottom));
  menu->ResizeMenu();
  menuFolder_ = IdOf(node);
}

void FavoriteWnd::DeleteFolder(const std::string& id) {
  RunBusy([this, id] { return store_.DeleteItem(id); },
          [this, id](int result) {
            if (result != 0) return;
            if (selectedFolder_ == id) selectedFolder_.clear();
            FillTree();
            FavoritesChannels::kRefreshFavoriteBar.Post();
          });
}

void FavoriteWnd::Accept() {
  const QString name = nameEdit_ != nullptr ? nameEdit_->GetText().trimmed() : name_;
  const QString url = urlEdit_ != nullptr ? urlEdit_->GetText().trimmed() : url_;
  if (url.isEmpty()) {
    Tell(Keys::kNeedAddress);
    return;
  }
  const std::string folder = selectedFolder_;
  const std::string utf8Url = url.toStdString();
  RunBusy(
      [this, name, url, folder, utf8Url] {
        // An address that is already a bookmark moves instead of appearing twice.
        for (const Json::Value& item : store_.Document().Items()) {
          const Json::Value* found = nullptr;
          if (!FavoritesTree::IsFolder(item) && FavoritesTree::Url(item) == utf8Url) found = &item;
          for (const Json::Value& child : item["child"]) {
            if (found == nullptr && FavoritesTree::Url(child) == utf8Url) found = &child;
          }
          if (found != nullptr) return store_.MoveBookmark(FavoritesTree::Id(*found), folder, name.toStdU16String());
        }
        Json::Value bookmark = store_.NewBookmark(Utf8ToWide(folder), name.toStdU16String(), url.toStdU16String());
        return store_.AddItem(bookmark);
      },
      [this](int result) {
        if (result != 0) {
          Tell(Keys::kNotSaved);
          return;
        }
        FavoritesChannels::kRefreshFavoriteBar.Post();
        Close(IDOK);
      });
}

void FavoriteWnd::Transfer(bool importing) {
  const QString file = busy_ ? QString() : chooseFile_(!importing);
  if (file.isEmpty()) return;
  auto result = std::make_shared<BookmarkTransfer::Result>();
  RunBusy(
      [this, file, result, importing] {
        const std::string path = file.toStdString();
        *result = importing ? BookmarkTransfer::Import(path, store_) : BookmarkTransfer::Export(path, store_);
        return 0;
      },
      [this, result, importing](int) { ReportTransfer(*result, importing); });
}

void FavoriteWnd::ReportTransfer(const BookmarkTransfer::Result& result, bool imported) {
  using Status = BookmarkTransfer::Status;
  const QString bookmarks = QString::number(result.bookmarks);
  const QString folders = QString::number(result.folders);
  // Bookmarks left out for their address are counted after what was imported.
  const QString dropped =
      result.dropped > 0 ? QLatin1Char(' ') + LanguageText(Keys::kImportDropped).arg(result.dropped) : QString();
  switch (result.status) {
    case Status::kDone:
      if (imported) FillTree();
      Tell(imported ? Keys::kImportDone : Keys::kExportDone, bookmarks, folders, dropped);
      return;
    case Status::kNotBookmarks: Tell(Keys::kImportNotBookmarks); return;
    case Status::kEmpty: Tell(Keys::kImportEmpty, {}, {}, dropped); return;
    case Status::kRefused: Tell(Keys::kImportRefused); return;
    case Status::kUnwritable: Tell(Keys::kExportFailed); return;
    case Status::kUnreadable: Tell(Keys::kImportUnreadable); return;
  }
}

bool FavoriteWnd::RunBusy(std::function<int()> work, std::function<void(int)> done) {
  if (busy_ || !life_) return false;
  SetBusy(true);
  worker_.Post(std::move(work),
               [this, done = std::move(done)](int result) {
                 SetBusy(false);
                 ShowPending();
                 done(result);
               },
               life_.get());
  return true;
}

void FavoriteWnd::SetBusy(bool busy) {
  busy_ = busy;
  for (const char* name : {"favor/okbtn", "favor/newfold", "favor/import", "favor/export"}) {
    if (CControlUI* button = FindControl(QString::fromLatin1(name))) button->SetEnabled(!busy);
  }
  if (QWidget* widget = GetWidget()) {
    busy ? widget->setCursor(Qt::WaitCursor) : widget->unsetCursor();
  }
}

void FavoriteWnd::ShowPending() {
  if (pendingLine_ == nullptr) return;
  const int64_t pending = store_.PendingCount();
  pendingLine_->SetText(pending > 0 ? LanguageText(Keys::kPending).arg(pending) : QString());
  pendingLine_->SetVisible(pending > 0);
}

void FavoriteWnd::Tell(WStringView key, const QString& first, const QString& second, const QString& more) {
  QString text = LanguageText(key);
  if (!first.isNull()) text = text.arg(first);
  if (!second.isNull()) text = text.arg(second);
  if (tell_) tell_(text + more);
}

}  // namespace tarvo
