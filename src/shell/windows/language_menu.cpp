#include "shell/windows/language_menu.h"

#include "settings/language_manager.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/box_layout_ui.h"
#include "ui/label_ui.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_ui.h"
#include "ui/menu_wnd.h"

namespace tarvo {

namespace {

constexpr int kItemHeight = 48;
constexpr int kPanelInset = 8;

std::unique_ptr<DuiLib::CControlUI> Spacer(const char* width) {
  auto spacer = std::make_unique<DuiLib::CControlUI>();
  spacer->ApplyAttributeList(QStringLiteral("width=\"%1\"").arg(QLatin1String(width)));
  return spacer;
}

std::unique_ptr<DuiLib::CMenuElementUI> LanguageItem(const WString& language) {
  const QString name = QString::fromStdU16String(language);
  auto item = std::make_unique<DuiLib::CMenuElementUI>();
  item->ApplyAttributeList(QStringLiteral(R"(command="%1" height="48" padding="4,0,4,0")").arg(name));
  auto row = std::make_unique<DuiLib::CHorizontalLayoutUI>();
  row->SetMouseEnabled(false);
  auto flag = std::make_unique<DuiLib::CControlUI>();
  flag->ApplyAttributeList(QStringLiteral(R"(pos="2,2,0,0" width="18" height="18" bkimage="file='Language\flag_)") +
                           name + QStringLiteral(R"(.png'")"));
  flag->SetPadding({0, 15, 0, 15});
  flag->SetMouseEnabled(false);
  auto label = std::make_unique<DuiLib::CLabelUI>();
  label->ApplyAttributeList(QStringLiteral(R"(mouse="false" width="240")"));
  const WStringView prefix = WindowsLanguageKeys::kLanguageNamePrefix;
  const QString key = QString::fromUtf16(prefix.data(), static_cast<int>(prefix.size())) + name;
  label->SetText(LanguageText(key.toStdU16String(), name));
  row->Add(Spacer("12"));
  row->Add(std::move(flag));
  row->Add(Spacer("30"));
  row->Add(std::move(label));
  item->Add(std::move(row));
  return item;
}

}  // namespace

DuiLib::CMenuWnd* LanguageMenu::Open(DuiLib::HWND owner, QPoint screenTopLeft) {
  auto* menu = new DuiLib::CMenuWnd;
  if (!menu->Init(owner, QStringLiteral("language.xml"), screenTopLeft)) return nullptr;
  DuiLib::CMenuUI* panel = menu->GetMenuUI();
  panel->ApplyAttributeList(
      QStringLiteral(R"(name="major" width="216" height="216" bkimage="file='Dialog\menu_bk.png' corner='5,5,5,5'" major="true")"));
  const std::vector<WString> languages = LanguageManager::Instance().GetLanguageNames();
  for (const WString& language : languages) panel->Add(LanguageItem(language));
  panel->ApplyAttributeList(
      QStringLiteral(R"(height="%1")").arg(kItemHeight * static_cast<int>(languages.size()) + kPanelInset));
  menu->ResizeMenu();
  return menu;
}

}  // namespace tarvo
