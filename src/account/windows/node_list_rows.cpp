#include "account/windows/node_list_rows.h"

#include "account/windows/account_language_keys.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/language_texts.h"
#include "ui/button_ui.h"
#include "ui/label_ui.h"
#include "ui/list_container_element_ui.h"

namespace tarvo {

namespace {

constexpr char kRowAttributes[] = R"(height="40" bkcolor="#FFF4F4F4" bordersize="1" bordercolor="#FFD4D4D4")";
constexpr char kPictureAttributes[] = R"(width="25" height="25" bkimage="file='Dialog\%1'" mouse="false")";
// Not in the designed strings: the gaps that centre the pictures in a 40-pixel row.
constexpr char kPicturePlacement[] = R"(padding="12,7,10,8")";
constexpr char kNameAttributes[] = R"(font="3" textcolor="#FF282828" mouse="false")";
constexpr char kCountAttributes[] = R"(font="4" textcolor="#FF828282" width="120")";
constexpr char kAreaNameAttributes[] = R"(font="3" textcolor="#FF282828" mouse="false" width="160")";
constexpr char kButtonAttributes[] = R"(name="button_name" float="true" pos="0,0,312,40")";

template <class Control>
std::unique_ptr<Control> Make(const QString& attributes, const QString& text = QString()) {
  auto control = std::make_unique<Control>();
  control->ApplyAttributeList(attributes);
  if (!text.isEmpty()) control->SetText(text);
  return control;
}

// A row with its picture (none for an empty file), its name, a note and the button.
std::unique_ptr<DuiLib::CControlUI> Row(const WString& pictureFile, const char* nameAttributes, const WString& name,
                                        const QString& note, const WString& id) {
  auto row = Make<DuiLib::CListContainerElementUI>(QString::fromLatin1(kRowAttributes));
  row->SetName(QStringLiteral("list_layout"));
  QString picture = QString::fromLatin1(kPictureAttributes).arg(Q(pictureFile));
  if (pictureFile.empty()) picture = QStringLiteral(R"(width="25" height="25" mouse="false")");
  row->Add(Make<DuiLib::CControlUI>(picture + QLatin1Char(' ') + QString::fromLatin1(kPicturePlacement)));
  row->Add(Make<DuiLib::CLabelUI>(QString::fromLatin1(nameAttributes), Q(name)));
  row->Add(Make<DuiLib::CLabelUI>(QString::fromLatin1(kCountAttributes) + QStringLiteral(R"( mouse="false")"), note));
  auto button = Make<DuiLib::CButtonUI>(QString::fromLatin1(kButtonAttributes));
  button->SetUserData(Q(id));
  bool numeric = false;
  const qlonglong number = Q(id).toLongLong(&numeric);
  if (numeric) button->SetTag(static_cast<std::intptr_t>(number));
  row->Add(std::move(button));
  return row;
}

}  // namespace

std::unique_ptr<DuiLib::CControlUI> NodeListRows::CountryRow(const NodeCountries::Country& country) {
  const QString count = LanguageText(AccountLanguageKeys::kCanUse) + QString::number(country.nodeCount);
  return Row(NodeCountries::FlagFile(country.id), kNameAttributes, country.name, count, country.id);
}

std::unique_ptr<DuiLib::CControlUI> NodeListRows::AreaRow(const VpnNode& node, std::optional<int> pingMs) {
  const QString ping = pingMs ? QStringLiteral("Ping：%1ms").arg(*pingMs) : QString();
  return Row(u"house.png", kAreaNameAttributes, node.area, ping, node.id);
}

}  // namespace tarvo
