#include "favorites/windows/favorite_right_menu.h"

#include "bus/bus_channels.h"
#include "favorites/windows/favorites_channels.h"
#include "favorites/favorites_store.h"
#include "favorites/windows/favorites_language_keys.h"
#include "favorites/windows/favorites_worker.h"
#include "shell/windows/language_texts.h"
#include "ui/box_layout_ui.h"
#include "ui/label_ui.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_ui.h"
#include "ui/menu_wnd.h"
#include "ui/static_menu_element_ui.h"

namespace tarvo {

namespace {

constexpr int kEntryHeight = 30;
constexpr int kSeparatorHeight = 4;

// The menu's rows in order; a separator follows the entries marked so.
struct Row {
  int command;
  bool separatorAfter;
};
constexpr Row kBookmarkRows[] = {{1, false}, {2, false}, {3, true},   {7, true},   {8, true},
                                 {9, false}, {10, true}, {11, false}, {12, false}, {13, false}, {14, false}};
constexpr Row kFolderRows[] = {{4, false}, {5, false}, {6, true},   {7, true},   {8, true},
                               {9, false}, {10, true}, {11, false}, {12, false}, {13, false}, {14, false}};

std::unique_ptr<DuiLib::CControlUI> Entry(int command, bool enabled) {
  auto entry = std::make_unique<DuiLib::CMenuElementUI>();
  entry->ApplyAttributeList(QStringLiteral(R"(command="%1" height="30" padding="4,0,4,0")").arg(command));
  entry->SetName(QString::fromLatin1(FavoriteRightMenu::kEntryName));
  entry->SetEnabled(enabled);
  auto row = std::make_unique<DuiLib::CHorizontalLayoutUI>();
  row->SetMouseEnabled(false);
  auto icon = std::make_unique<DuiLib::CControlUI>();
  icon->ApplyAttributeList(QStringLiteral(R"(mouse="false" padding="4,3,4,3" width="24" height="24" )"));
  if (command == FavoriteRightMenu::kSortByTime) icon->SetBkImage(QStringLiteral("file='Toolbar\\tick.png'"));
  auto label = std::make_unique<DuiLib::CLabelUI>();
  label->ApplyAttributeList(enabled ? QStringLiteral(R"(mouse="false" width="240")")
                                    : QStringLiteral(R"(mouse="false" textcolor="#FFCCCCCC" width="240")"));
  label->SetText(LanguageText(FavoritesLanguageKeys::kRightMenu[static_cast<size_t>(command - 1)]));
  row->Add(std::move(icon));
  row->Add(std::move(label));
  entry->Add(std::move(row));
  return entry;
}

std::unique_ptr<DuiLib::CControlUI> Separator() {
  auto separator = std::make_unique<DuiLib::CStaticMenuElementUI>();
  separator->ApplyAttributeList(QStringLiteral(R"(command="0" height="4")"));
  auto line = std::make_unique<DuiLib::CControlUI>();
  line->ApplyAttributeList(QStringLiteral(R"(bordersize="1" bordercolor="#FFCCCCCC" height="1")"));
  separator->Add(std::move(line));
  return separator;
}

std::vector<WString> ChildUrls(const Json::Value& folder) {
  std::vector<WString> urls;
  if (folder.isObject() && folder.isMember("child")) {
    for (const Json::Value& child : folder["child"]) urls.push_back(Utf8ToWide(FavoritesTree::Url(child)));
  }
  return urls;
}

}  // namespace

bool FavoriteRightMenu::Offers(Target target, int command) {
  const auto& rows = target == Target::kBookmark ? kBookmarkRows : kFolderRows;
  for (const Row& row : rows) {
    if (row.command == command) return true;
  }
  return false;
}

bool FavoriteRightMenu::Enables(Target target, int command) {
  if (!Offers(target, command) || command == kSortByName) return false;
  // The empty end has no item to open, rename or delete.
  return target != Target::kEmptyArea || command >= kAddPage;
}

DuiLib::CMenuWnd* FavoriteRightMenu::Open(DuiLib::HWND owner, QPoint screenPoint, Target target) {
  auto* menu = new DuiLib::CMenuWnd;
  if (!menu->Init(owner, QStringLiteral("favorrightmenu.xml"), screenPoint)) return nullptr;
  DuiLib::CMenuUI* panel = menu->GetMenuUI();
  if (panel == nullptr) return menu;
  panel->ApplyAttributeList(
      QStringLiteral(R"(name="major" width="%1" height="350" bkimage="file='Dialog\menu_bk.png' corner='5,5,5,5'" major="true")")
          .arg(target == Target::kBookmark ? 250 : 260));
  int height = panel->GetInset().top + panel->GetInset().bottom;
  for (const Row& row : target == Target::kBookmark ? kBookmarkRows : kFolderRows) {
    panel->Add(Entry(row.command, Enables(target, row.command)));
    height += kEntryHeight;
    if (row.separatorAfter) {
      panel->Add(Separator());
      height += kSeparatorHeight;
    }
  }
  panel->ApplyAttributeList(QStringLiteral(R"(height="%1")").arg(height));
  menu->ResizeMenu();
  return menu;
}

void FavoriteRightMenu::Perform(int command, const Json::Value& item, FavoritesStore& store,
                                FavoritesWorker& worker) {
  using namespace BusChannels;
  using namespace FavoritesChannels;
  const std::string id = FavoritesTree::Id(item);
  const WString url = Utf8ToWide(FavoritesTree::Url(item));
  switch (command) {
    case kOpenInTab:
      PostUrl(kTabOpenUrl, url);
      return;
    case kOpenInWindow:
      PostUrl(kWindowOpenUrl, url);
      return;
    case kOpenInPrivateWindow:
      PostUrl(kPrivateWindowOpenUrl, url);
      return;
    case kOpenAll:
    case kOpenAllInWindow:
    case kOpenAllInPrivateWindow: {
      std::vector<WString> urls = ChildUrls(item);
      if (urls.empty()) return;
      const UrlListChannel& channel = command == kOpenAll            ? kTabOpenAllUrl
                                      : command == kOpenAllInWindow ? kWindowOpenAllUrl
                                                                     : kPrivateWindowOpenAllUrl;
      channel.Post(std::make_unique<UrlList>(std::move(urls)));
      return;
    }
    case kRename:
      if (!id.empty()) kShowRenameWnd.Post(std::make_unique<int64_t>(FavoritesTree::NumericId(id)));
      return;
    case kDelete: {
      if (id.empty()) return;
      const bool folder = FavoritesTree::IsFolder(item);
      worker.Post([&store, id, folder] {
        return folder ? store.DeleteFolder(id) : store.DeleteItem(id);
      });
      return;
    }
    case kAddPage:
    case kAddFolder:
    case kManage:
      PostUrl(kShowFavoriteWnd, u"");
      return;
    case kHideBar:
      kHideFavoriteBar.Post();
      return;
    default:
      return;  // sorting: the bar keeps the document's order
  }
}

}  // namespace tarvo
