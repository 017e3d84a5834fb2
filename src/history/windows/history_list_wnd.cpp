#include "history/windows/history_list_wnd.h"

#include <QDateTime>

#include "history/windows/history_language_keys.h"
#include "history/windows/history_list_rows.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "store/history_records.h"
#include "ui/list_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

HistoryListWnd* HistoryListWnd::OpenNew(DuiLib::HWND owner, UserDatabase& database, OpenUrl open) {
  auto* page = new HistoryListWnd(database, std::move(open));
  if (page->Create(owner, QStringLiteral("history_list"), 0, 0) == 0) {
    delete page;
    return nullptr;
  }
  page->CenterWindow();
  page->ShowWindow(true, true);
  return page;
}

void HistoryListWnd::Notify(DuiLib::TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyTextChanged && name == QLatin1String("historylist/search")) {
    limit_ = kPageSize;
    Reload();
  } else if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr) {
    OnClick(*msg.pSender);
  }
  WindowImplBase::Notify(msg);
}

void HistoryListWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("historylist/closebtn")), WindowsLanguageKeys::kDialogClose);
  list_ = FindControl<DuiLib::CListUI>(QStringLiteral("historylist/list"));
  for (const char16_t* key : {HistoryLanguageKeys::kTitle, HistoryLanguageKeys::kMore}) {
    SetLanguageText(FindControl(QString::fromUtf16(key)), key);
  }
  if (auto* search = FindControl(QStringLiteral("historylist/search"))) {
    search->SetAttribute(QStringLiteral("tipvalue"), LanguageText(HistoryLanguageKeys::kSearchHint));
    SetLanguageToolTip(search, HistoryLanguageKeys::kSearchHint);
    search->SetFocus();
  }
  Reload();
}

QString HistoryListWnd::SearchText() {
  auto* search = FindControl(QStringLiteral("historylist/search"));
  return search != nullptr ? search->GetText().trimmed() : QString();
}

void HistoryListWnd::Reload() {
  if (list_ == nullptr) return;
  // One more than shown tells whether "more" has anything to add.
  std::vector<HistoryVisit> visits = HistoryRecords(database_).ListVisits(SearchText().toStdU16String(), limit_ + 1);
  const bool more = static_cast<int>(visits.size()) > limit_;
  if (more) visits.pop_back();
  list_->RemoveAll();
  const QDate today = QDate::currentDate();
  QDate shownDay;
  for (const HistoryVisit& visit : visits) {
    const QDate day = HistoryListRows::DayOf(visit);
    if (day != shownDay) {
      list_->Add(HistoryListRows::DayHeading(day, today));
      shownDay = day;
    }
    list_->Add(HistoryListRows::Visit(visit));
  }
  if (visits.empty()) list_->Add(HistoryListRows::Nothing());
  if (auto* count = FindControl(QStringLiteral("historylist/count"))) {
    count->SetText(LanguageText(HistoryLanguageKeys::kShown) + QLatin1Char(' ') + QString::number(visits.size()));
  }
  if (auto* moreButton = FindControl(QStringLiteral("historylist/more"))) moreButton->SetVisible(more);
}

void HistoryListWnd::OnClick(DuiLib::CControlUI& sender) {
  const QString name = sender.GetName();
  HistoryRecords history(database_);
  if (name == QLatin1String("historylist/closebtn")) {
    Close(DuiLib::IDCANCEL);
  } else if (name == QLatin1String("historylist/more")) {
    limit_ += kPageSize;
    Reload();
  } else if (name == QLatin1String("historylist_open")) {
    if (open_) open_(sender.GetUserData().toStdU16String());
  } else if (name == QLatin1String("historylist_delete")) {
    history.DeleteVisit(static_cast<int64_t>(sender.GetTag()));
    Reload();
  } else if (name == QLatin1String("historylist_delete_day")) {
    const QDate day = QDate::fromString(sender.GetUserData(), Qt::ISODate);
    history.DeleteVisitsBetween(day.startOfDay().toSecsSinceEpoch(), day.addDays(1).startOfDay().toSecsSinceEpoch());
    Reload();
  }
}

void HistoryListWnd::OnFinalMessage(DuiLib::HWND hwnd) {
  list_ = nullptr;
  WindowImplBase::OnFinalMessage(hwnd);
  delete this;
}

}  // namespace tarvo
