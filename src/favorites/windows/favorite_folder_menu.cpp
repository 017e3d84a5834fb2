#include "favorites/windows/favorite_folder_menu.h"

#include "favorites/favorites_tree.h"
#include "favorites/windows/favorites_language_keys.h"
#include "shell/windows/language_texts.h"
#include "ui/box_layout_ui.h"
#include "ui/label_ui.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_ui.h"
#include "ui/menu_wnd.h"
#include "ui/static_menu_element_ui.h"

namespace tarvo {

namespace {

std::unique_ptr<DuiLib::CControlUI> Entry(const Json::Value& item) {
  auto entry = std::make_unique<DuiLib::CMenuElementUI>();
  entry->ApplyAttributeList(QStringLiteral(R"(command="%1" height="30" padding="4,0,4,0")")
                                .arg(QString::fromStdString(FavoritesTree::Id(item))));
  entry->SetName(QString::fromLatin1(FavoriteFolderMenu::kEntryName));
  auto row = std::make_unique<DuiLib::CHorizontalLayoutUI>();
  row->SetMouseEnabled(false);
  auto icon = std::make_unique<DuiLib::CLabelUI>();
  icon->ApplyAttributeList(
      FavoritesTree::IsFolder(item)
          ? QStringLiteral(R"(mouse="false" padding="4,9,4,9" width="16" height="12" bkimage="file='Toolbar\bookmark_folder.png'")")
          : QStringLiteral(R"(mouse="false" padding="4,7,4,7" width="16" height="16" bkimage="file='Tabbar\favicon_newtab.png'")"));
  auto label = std::make_unique<DuiLib::CLabelUI>();
  label->ApplyAttributeList(QStringLiteral(R"(mouse="false" width="240" padding="6,0,0,0")"));
  label->SetText(QString::fromStdString(FavoritesTree::Name(item)));
  row->Add(std::move(icon));
  row->Add(std::move(label));
  entry->Add(std::move(row));
  return entry;
}

}  // namespace

DuiLib::CMenuWnd* FavoriteFolderMenu::Open(DuiLib::HWND owner, QPoint screenPoint, const Json::Value& folder) {
  auto* menu = new DuiLib::CMenuWnd;
  if (!menu->Init(owner, QStringLiteral("favormenu.xml"), screenPoint)) return nullptr;
  DuiLib::CMenuUI* panel = menu->GetMenuUI();
  if (panel == nullptr) return menu;
  panel->ApplyAttributeList(
      QStringLiteral(R"(name="major" width="360" height="216" bkimage="file='Dialog\menu_bk.png' corner='5,5,5,5'" major="true")"));
  int entries = 0;
  if (folder.isObject() && folder.isMember("child") && folder["child"].isArray()) {
    for (const Json::Value& item : folder["child"]) {
      panel->Add(Entry(item));
      ++entries;
    }
  }
  if (entries == 0) {
    // An empty folder says so instead of opening as a sliver.
    auto empty = std::make_unique<DuiLib::CStaticMenuElementUI>();
    empty->ApplyAttributeList(QStringLiteral(R"(height="30" padding="4,0,4,0")"));
    empty->SetText(LanguageText(FavoritesLanguageKeys::kEmptyFolder));
    empty->SetEnabled(false);
    panel->Add(std::move(empty));
    entries = 1;
  }
  // The skin's inset (top and bottom) lies around the entries.
  const DuiLib::RECT inset = panel->GetInset();
  panel->ApplyAttributeList(QStringLiteral(R"(height="%1")").arg(kEntryHeight * entries + inset.top + inset.bottom));
  menu->ResizeMenu();
  return menu;
}

}  // namespace tarvo
