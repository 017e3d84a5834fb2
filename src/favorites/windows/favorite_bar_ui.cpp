#include "favorites/windows/favorite_bar_ui.h"

#include <QWidget>

#include "favorites/favorite_icon.h"
#include "favorites/favorites_store.h"
#include "favorites/windows/favorite_bar_button_ui.h"
#include "favorites/windows/favorite_bar_text.h"
#include "favorites/windows/favorite_folder_menu.h"
#include "favorites/windows/favorite_right_menu.h"
#include "favorites/windows/favorites_change_follower.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "ui/label_ui.h"
#include "ui/menu_element_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {

using namespace DuiLib;

const QString kFolderButton = QStringLiteral(
    R"(name="favor_menu_btn" align="left" hotimage="file='Toolbar\favorbar_item_hover.png'" padding="0,2,0,2")");
const QString kBookmarkButton = QStringLiteral(
    R"(name="favor_item_btn" align="left" hotimage="file='Toolbar\favorbar_item_hover.png'" padding="0,2,0,2")");
const QString kFolderIcon = QStringLiteral(
    R"(float="true" mouse="false" accrole="none" pos="6,6,0,0" width="16" height="16" bkimage="file='Toolbar\bookmark_folder.png'")");
// The page icon floats like the folder's, so both sit level with the text.
const QString kBookmarkIcon = QStringLiteral(
    R"(float="true" mouse="false" accrole="none" pos="6,6,0,0" width="16" height="16" bkimage="file='Tabbar\favicon_newtab.png'")");
// The button speaks for its text (its tooltip is the whole name).
const QString kTextLabel =
    QStringLiteral(R"(float="true" mouse="false" accrole="none" pos="28,0,0,0" width="%1" height="28")");

}  // namespace

FavoriteBarUI::FavoriteBarUI(IBrowserWindow& window, FavoritesStore& store, FavoritesWorker& worker)
    : window_(window),
      store_(store),
      worker_(worker),
      follower_(std::make_unique<FavoritesChangeFollower>(store, [this] { Rebuild(); })) {}

FavoriteBarUI::~FavoriteBarUI() {
  if (manager_ != nullptr) manager_->RemoveNotifier(this);
}

void* FavoriteBarUI::GetInterface(const QString& name) {
  if (name == QLatin1String("FavorBar")) return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

void FavoriteBarUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  if (manager_ != nullptr && manager_ != manager) manager_->RemoveNotifier(this);
  CHorizontalLayoutUI::SetManager(manager, parent, init);
  if (manager_ != nullptr) manager_->AddNotifier(this);
}

void FavoriteBarUI::DoInit() { Rebuild(); }

void FavoriteBarUI::Rebuild() { Rebuild(store_.Document()); }

void FavoriteBarUI::Rebuild(const FavoritesTree& tree) {
  RemoveAll();
  const QFont font = manager_ != nullptr ? manager_->GetFont(kTextFont) : QFont();
  const FavoriteIcon icons;
  for (const Json::Value& item : tree.Items()) Add(MakeButton(item, font, icons));
  auto filler = std::make_unique<CControlUI>();
  filler->SetName(QString::fromLatin1(kFillerName));
  filler->SetTag(0);
  Add(std::move(filler));
  openMenu_ = OpenMenu::kNone;
  // The favourite button shows whether the current page is (still) a favourite.
  if (Page* page = window_.CurrentPage()) window_.PageList().GetTabWnd().UpdateFor(page);
}

std::unique_ptr<CControlUI> FavoriteBarUI::MakeButton(const Json::Value& item, const QFont& font,
                                                   const FavoriteIcon& icons) const {
  const bool folder = FavoritesTree::IsFolder(item);
  const QString name = QString::fromStdString(FavoritesTree::Name(item));
  const QString url = QString::fromStdString(FavoritesTree::Url(item));
  auto button = std::make_unique<FavoriteBarButtonUI>();
  button->ApplyAttributeList(folder ? kFolderButton : kBookmarkButton);
  auto icon = std::make_unique<CLabelUI>();
  icon->ApplyAttributeList(folder ? kFolderIcon : kBookmarkIcon);
  if (!folder) {
    const WString cached = icons.UsableCachedIcon(url.toStdU16String());
    if (!cached.empty()) icon->SetBkImage(QStringLiteral("file='%1'").arg(QString::fromStdU16String(cached)));
  }
  const FavoriteBarText::Shortened text = FavoriteBarText::Shorten(name, font);
  auto label = std::make_unique<CLabelUI>();
  label->ApplyAttributeList(kTextLabel.arg(text.width));
  label->SetFont(kTextFont);
  label->SetText(text.text);
  const std::string id = FavoritesTree::Id(item);
  button->SetTag(static_cast<std::intptr_t>(FavoritesTree::NumericId(id)));
  button->SetItemId(id);
  button->SetToolTip(name);
  button->SetUserData(folder ? QString() : url);
  button->Add(std::move(icon));
  button->Add(std::move(label));
  button->SetFixedWidth(text.width + kButtonExtraWidth);
  return button;
}

void FavoriteBarUI::Notify(TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  if (msg.sType == kNotifyItemClick) {
    OnMenuEntry(msg.pSender);
    return;
  }
  if (msg.pSender->GetParent() != this) return;
  if (msg.sType == kNotifyClick) {
    OnClick(msg.pSender);
  } else if (msg.sType == kNotifyRightClick) {
    // The click's point travels in lParam, in the window's coordinates.
    const auto point = static_cast<std::uintptr_t>(msg.lParam);
    OnRightClick(msg.pSender, QPoint(LoShort(point), HiShort(point)));
  }
}

void FavoriteBarUI::OnClick(CControlUI* sender) {
  auto* button = dynamic_cast<FavoriteBarButtonUI*>(sender);
  if (button == nullptr) return;
  if (button->GetName() == QLatin1String(FavoriteBarButtonUI::kBookmarkName)) {
    if (Page* page = window_.CurrentPage()) page->Navigate(button->GetUserData().toStdU16String());
    return;
  }
  const Json::Value folder = store_.FindById(button->ItemId());
  QWidget* host = manager_ != nullptr ? manager_->GetHostWidget() : nullptr;
  if (folder.isNull() || host == nullptr) return;
  const QRect rc = button->GetPos();
  if (FavoriteFolderMenu::Open(window_.Handle(), host->mapToGlobal(QPoint(rc.left(), rc.top() + rc.height() - 2)),
                            folder) != nullptr) {
    openMenu_ = OpenMenu::kFolder;
  }
}

void FavoriteBarUI::OnRightClick(CControlUI* sender, QPoint at) {
  auto* button = dynamic_cast<FavoriteBarButtonUI*>(sender);
  FavoriteRightMenu::Target target = FavoriteRightMenu::Target::kEmptyArea;
  menuItemId_.clear();
  if (button != nullptr) {
    const bool folder = button->GetName() == QLatin1String(FavoriteBarButtonUI::kFolderName);
    target = folder ? FavoriteRightMenu::Target::kFolder : FavoriteRightMenu::Target::kBookmark;
    menuItemId_ = button->ItemId();
  }
  QWidget* host = manager_ != nullptr ? manager_->GetHostWidget() : nullptr;
  if (host == nullptr) return;
  if (FavoriteRightMenu::Open(window_.Handle(), host->mapToGlobal(at), target) != nullptr) openMenu_ = OpenMenu::kRight;
}

void FavoriteBarUI::OnMenuEntry(CControlUI* sender) {
  auto* entry = static_cast<CMenuElementUI*>(sender->GetInterface(QStringLiteral("MenuElement")));
  if (entry == nullptr) return;
  const OpenMenu menu = openMenu_;
  if (menu == OpenMenu::kFolder && entry->GetName() == QLatin1String(FavoriteFolderMenu::kEntryName)) {
    openMenu_ = OpenMenu::kNone;
    OpenInCurrentPage(store_.FindById(entry->GetCommand().toStdString()));
  } else if (menu == OpenMenu::kRight && entry->GetName() == QLatin1String(FavoriteRightMenu::kEntryName)) {
    openMenu_ = OpenMenu::kNone;
    const Json::Value item = menuItemId_.empty() ? Json::Value() : store_.FindById(menuItemId_);
    FavoriteRightMenu::Perform(entry->GetCommand().toInt(), item, store_, worker_);
  }
}

void FavoriteBarUI::OpenInCurrentPage(const Json::Value& item) {
  if (item.isNull() || FavoritesTree::IsFolder(item)) return;
  if (Page* page = window_.CurrentPage()) page->Navigate(Utf8ToWide(FavoritesTree::Url(item)));
}

}  // namespace tarvo
