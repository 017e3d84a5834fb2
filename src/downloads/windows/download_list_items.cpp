#include "downloads/windows/download_list_items.h"

#include "downloads/download_status_text.h"
#include "downloads/downloads_language_keys.h"
#include "shell/windows/c_icon_ui.h"
#include "shell/windows/language_texts.h"
#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/label_ui.h"
#include "ui/progress_ui.h"

namespace tarvo {

namespace {

using DuiLib::CControlUI;
using DuiLib::CHorizontalLayoutUI;
using DuiLib::CVerticalLayoutUI;

template <class T>
std::unique_ptr<T> Make(const QString& attributes) {
  auto control = std::make_unique<T>();
  control->ApplyAttributeList(attributes);
  return control;
}

// A button whose caption is a language text between a fixed start and end.
std::unique_ptr<DuiLib::CButtonUI> Button(const char* start, WStringView key, const char* end, int64_t id) {
  auto button = Make<DuiLib::CButtonUI>(QLatin1String(start) + LanguageText(key) + QLatin1String(end));
  button->SetTag(static_cast<std::intptr_t>(id));
  return button;
}

WStringView PauseKey(const DownloadRecord& record) {
  return record.state == DownloadState::kPaused ? DownloadsLanguageKeys::kContinue : DownloadsLanguageKeys::kPause;
}

// The icon, the divider and the column of texts that both kinds of row start with.
CVerticalLayoutUI* AddHead(CHorizontalLayoutUI& line, const DownloadRecord& record, const QImage& icon) {
  auto picture = Make<CIconUI>(QStringLiteral(R"(padding="7,26,0,0" width="32" height="32")"));
  picture->SetPicture(icon);
  line.Add(std::move(picture));
  line.Add(Make<DuiLib::CLabelUI>(
      QStringLiteral(R"(bordersize="1" bordercolor="#FFD4D4D4" width="1" padding="30,15,25,15")")));
  auto* column = line.Add(Make<CVerticalLayoutUI>(QStringLiteral(R"(padding="0,26,0,0")")));
  auto name =
      Make<DuiLib::CLabelUI>(QStringLiteral(R"(name="filename" text="" height="20" font="1" textcolor="#FF3F70D8")"));
  name->SetText(QString::fromStdU16String(record.fileName));
  column->Add(std::move(name));
  auto address = Make<DuiLib::CLabelUI>(QStringLiteral(R"(name="fileurl" text="" textcolor="#FF858585" height="20")"));
  address->SetText(QString::fromStdU16String(record.url));
  address->SetToolTip(address->GetText());
  column->Add(std::move(address));
  return column;
}

std::unique_ptr<CControlUI> Separator() {
  return Make<CHorizontalLayoutUI>(QStringLiteral(R"(height="1" bordersize="1" bordercolor="#FFD4D4D4")"));
}

constexpr char kProblemColour[] = "#FFD03030";

// A red note under the address of a download that went wrong.
std::unique_ptr<CControlUI> Note(WStringView key, const QString& detail) {
  auto note = Make<DuiLib::CLabelUI>(QStringLiteral(R"(name="problem" height="20" textcolor=")") +
                                     QLatin1String(kProblemColour) + QLatin1Char('"'));
  note->SetText(detail.isEmpty() ? LanguageText(key) : LanguageText(key) + QLatin1Char(' ') + detail);
  return note;
}

// How an ended download ended: its size and "done", or how far it got and why it
// stopped (in red when it failed).
std::unique_ptr<CControlUI> EndedStatus(const DownloadRecord& record) {
  auto status = Make<DuiLib::CLabelUI>(
      QStringLiteral(R"(name="status" textcolor="#FF858585" padding="0,2,0,0" height="20" endellipsis="true")"));
  if (DownloadRecord::IsFailure(record.problem)) {
    status->ApplyAttributeList(QStringLiteral(R"(textcolor=")") + QLatin1String(kProblemColour) + QLatin1Char('"'));
  }
  status->SetText(QString::fromStdU16String(DownloadStatusText::EndedText(record)));
  status->SetToolTip(status->GetText());
  return status;
}

}  // namespace

std::unique_ptr<CControlUI> DownloadListItems::Make(const DownloadRecord& record, const QImage& icon) {
  return DownloadState::IsRunning(record.state) ? Running(record, icon) : Stopped(record, icon);
}

std::unique_ptr<CControlUI> DownloadListItems::Running(const DownloadRecord& record, const QImage& icon) {
  auto row = tarvo::Make<CVerticalLayoutUI>(QStringLiteral(R"(name="running" height="153")"));
  auto* line = row->Add(tarvo::Make<CHorizontalLayoutUI>(QStringLiteral(R"(height="152")")));
  CVerticalLayoutUI* column = AddHead(*line, record, icon);
  column->Add(tarvo::Make<DuiLib::CLabelUI>(QString::fromStdU16String(DownloadStatusText::StatusText(record))));
  auto progress = tarvo::Make<DuiLib::CProgressUI>(QStringLiteral(
      R"(min="0" max="100" value="0" padding="0,5,20,9" height="4" bkcolor="#FFDFDFDF" foreimage="file='Dialog\progress_fore.png'")"));
  progress->SetName(QStringLiteral("progress"));
  progress->SetValue(ProgressOf(record));
  column->Add(std::move(progress));
  auto* buttons = column->Add(tarvo::Make<CHorizontalLayoutUI>(QStringLiteral(R"(padding="0,4,0,10")")));
  auto pause = Button(R"(name="dlpause_btn" text=")", PauseKey(record),
                      R"(" textcolor="#FF3F70D8" width="30" height="20")", record.id);
  // An engine that cannot pause: the entry is there, greyed out, rather than a button that does nothing.
  pause->SetEnabled(record.pausable);
  auto cancel = Button(R"(name="dlcancel_btn" text=")", DownloadsLanguageKeys::kCancel,
                       R"(" textcolor="#FF5A5A5A" width="30" height="20" padding="12,0,0,0")", record.id);
  // 30 pixels hold two Chinese characters; other languages' words need their width.
  for (auto* button : {pause.get(), cancel.get()}) button->ApplyAttributeList(QStringLiteral(R"(autocalcwidth="true")"));
  buttons->Add(std::move(pause));
  buttons->Add(std::move(cancel));
  row->Add(Separator());
  return row;
}

std::unique_ptr<CControlUI> DownloadListItems::Stopped(const DownloadRecord& record, const QImage& icon) {
  // The designed 106 pixels and 20 more for the status line.
  auto row = tarvo::Make<CVerticalLayoutUI>(QStringLiteral(R"(name="stop" height="126")"));
  auto* line = row->Add(tarvo::Make<CHorizontalLayoutUI>(QStringLiteral(R"(height="125")")));
  CVerticalLayoutUI* column = AddHead(*line, record, icon);
  if (record.problem == DownloadRecord::Problem::kRenameFailed) {
    // The address line tells what happened instead: the file kept its working name.
    column->Remove(column->GetItemAt(column->GetCount() - 1));
    column->Add(Note(DownloadsLanguageKeys::kRenameFailed,
                     QString::fromStdU16String(record.workingPath.substr(record.workingPath.find_last_of(u'/') + 1))));
  }
  column->Add(EndedStatus(record));
  auto* buttons = column->Add(tarvo::Make<CHorizontalLayoutUI>(QStringLiteral(R"(padding="0,7,0,10")")));
  if (record.state == DownloadState::kComplete) {
    buttons->Add(Button(R"(name="dlopendir_btn" text=")", DownloadsLanguageKeys::kShowFile,
                        R"(" textcolor="#FF3F70D8" width="119" height="20" align="left")", record.id));
    buttons->Add(tarvo::Make<CControlUI>(QStringLiteral(R"(width="25")")));
    buttons->Add(Button(R"(name="dlexecfile_btn" text=")", DownloadsLanguageKeys::kExecFile,
                        R"(" textcolor="#FF3F70D8" width="50" height="20")", record.id));
    buttons->Add(tarvo::Make<CControlUI>(QStringLiteral(R"(width="15")")));
    buttons->Add(Button(R"(name="dldelfile_btn" text=")", DownloadsLanguageKeys::kDeleteFile,
                        R"(" textcolor="#FF3F70D8" width="50" height="20")", record.id));
  } else {
    auto again = tarvo::Make<DuiLib::CButtonUI>(
        QStringLiteral(R"(name="dldownload_btn" text="" textcolor="#FF3F70D8" width="1" height="20")"));
    again->SetTag(static_cast<std::intptr_t>(record.id));
    buttons->Add(std::move(again));
  }
  row->Add(Separator());
  return row;
}

void DownloadListItems::Update(CControlUI& row, const DownloadRecord& record) {
  auto named = [&row](const char* name) {
    return row.FindControl([name](CControlUI* control) { return control->GetName() == QLatin1String(name); });
  };
  if (CControlUI* status = named("status")) {
    status->ApplyAttributeList(QString::fromStdU16String(DownloadStatusText::StatusText(record)));
  }
  if (auto* progress = dynamic_cast<DuiLib::CProgressUI*>(named("progress"))) progress->SetValue(ProgressOf(record));
  if (CControlUI* pause = named("dlpause_btn")) {
    pause->ApplyAttributeList(QStringLiteral("text=\"") + LanguageText(PauseKey(record)) + QLatin1Char('"'));
  }
}

bool DownloadListItems::IsRunningRow(const CControlUI& row) { return row.GetName() == QLatin1String("running"); }

int DownloadListItems::ProgressOf(const DownloadRecord& record) {
  if (record.total <= 0) return 0;
  return static_cast<int>(std::min<int64_t>(record.received * 100 / record.total, 100));
}

}  // namespace tarvo
