#include "history/windows/history_list_rows.h"

#include <QDateTime>
#include <QLocale>

#include "history/windows/history_language_keys.h"
#include "shell/windows/language_texts.h"
#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/label_ui.h"

namespace tarvo {

namespace {

template <class T>
std::unique_ptr<T> Make(const char* attributes) {
  auto control = std::make_unique<T>();
  control->ApplyAttributeList(QString::fromLatin1(attributes));
  return control;
}

}  // namespace

QDate HistoryListRows::DayOf(const HistoryVisit& visit) {
  return QDateTime::fromSecsSinceEpoch(visit.visitedAt).toLocalTime().date();
}

std::unique_ptr<DuiLib::CControlUI> HistoryListRows::DayHeading(const QDate& day, const QDate& today) {
  auto row = Make<DuiLib::CHorizontalLayoutUI>(R"(name="day" height="40" inset="20,12,20,4" bkcolor="#FFF7F8FA")");
  auto title = Make<DuiLib::CLabelUI>(R"(font="2" textcolor="#FF1F2329")");
  QString text = InterfaceLocale().toString(day, QLocale::LongFormat);
  if (day == today) text = LanguageText(HistoryLanguageKeys::kToday) + QStringLiteral(" - ") + text;
  if (day == today.addDays(-1)) text = LanguageText(HistoryLanguageKeys::kYesterday) + QStringLiteral(" - ") + text;
  title->SetText(text);
  row->Add(std::move(title));
  auto remove = Make<DuiLib::CButtonUI>(
      R"(name="historylist_delete_day" width="150" height="22" align="right" textcolor="#FF3F70D8" hottextcolor="#FF2459C8")");
  remove->SetText(LanguageText(HistoryLanguageKeys::kDeleteDay));
  remove->SetUserData(day.toString(Qt::ISODate));
  row->Add(std::move(remove));
  return row;
}

std::unique_ptr<DuiLib::CControlUI> HistoryListRows::Visit(const HistoryVisit& visit) {
  auto row = Make<DuiLib::CHorizontalLayoutUI>(R"(name="visit" height="30" inset="20,4,12,4" childpadding="10")");
  // Wide enough for "12:59 PM".
  auto time = Make<DuiLib::CLabelUI>(R"(width="64" height="22" textcolor="#FF858585")");
  time->SetText(InterfaceLocale().toString(QDateTime::fromSecsSinceEpoch(visit.visitedAt).toLocalTime().time(),
                                           QLocale::ShortFormat));
  row->Add(std::move(time));
  const QString url = QString::fromStdU16String(visit.url);
  auto open = Make<DuiLib::CButtonUI>(
      R"(name="historylist_open" height="22" align="left" endellipsis="true" textcolor="#FF1F2329" hottextcolor="#FF2F6FED")");
  open->SetText(visit.title.empty() ? url : QString::fromStdU16String(visit.title));
  open->SetToolTip(url);
  open->SetUserData(url);
  open->SetTag(static_cast<std::intptr_t>(visit.id));
  row->Add(std::move(open));
  auto address = Make<DuiLib::CLabelUI>(R"(width="240" height="22" endellipsis="true" textcolor="#FF858585")");
  address->SetText(url);
  row->Add(std::move(address));
  auto remove = Make<DuiLib::CButtonUI>(
      R"(name="historylist_delete" width="22" height="22" normalimage="file='Dialog\dlg_close.png' dest='1,1,21,21'" hotimage="file='Dialog\dlg_close_hover.png' dest='1,1,21,21'")");
  remove->SetToolTip(LanguageText(HistoryLanguageKeys::kDelete));
  remove->SetTag(static_cast<std::intptr_t>(visit.id));
  row->Add(std::move(remove));
  return row;
}

std::unique_ptr<DuiLib::CControlUI> HistoryListRows::Nothing() {
  auto row = Make<DuiLib::CLabelUI>(R"(name="nothing" height="60" align="center" textcolor="#FF858585")");
  row->SetText(LanguageText(HistoryLanguageKeys::kNothing));
  return row;
}

}  // namespace tarvo
