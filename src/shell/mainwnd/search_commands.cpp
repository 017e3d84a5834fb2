#include "shell/mainwnd/search_commands.h"

#include "bus/bus_channels.h"
#include "shell/addressbar/search_engine_wnd.h"
#include "shell/addressbar/web_search.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/command_router.h"
#include "shell/mainwnd/i_main_window.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/find_wnd.h"
#include "store/search_records.h"
#include "ui/button_ui.h"
#include "ui/edit_ui.h"

namespace tarvo {

namespace C = Commands;

SearchCommands::SearchCommands(IMainWindow& window, CommandRouter& router) : window_(window) {
  router.Register(C::kChooseSearchEngine, [this](const CommandArgs&) { ChooseSearchEngine(); });
  router.Register(C::kSearch, [this](const CommandArgs&) { Search(); });
  // The find window opens from the bus, after the key or menu entry that asked for it
  // has been handled.
  router.Register(C::kFindInPage, [](const CommandArgs&) { BusChannels::kShowFindDialog.Post(); });
  router.Register(C::kShowFindWindow, [this](const CommandArgs&) { ShowFindWindow(); });
}

void SearchCommands::ChooseSearchEngine() {
  const QRect button = window_.ControlScreenRect(QStringLiteral("se_btn"));
  if (button.isEmpty()) return;
  SearchEngineWnd chooser;
  const int result = chooser.Choose(window_.Handle(), SearchEngineWnd::TopLeftUnder(button));
  const SearchRecords records(window_.PageList().Database());
  WString icon;
  auto* mini = dynamic_cast<DuiLib::CButtonUI*>(window_.Control(QStringLiteral("searchmini_btn")));
  if (WebSearch(records).ApplyChooserResult(result, icon) == 0 && mini != nullptr) mini->SetNormalImage(Q(icon));
}

void SearchCommands::ShowSearchEngineIcon() {
  const WString icon = SearchRecords(window_.PageList().Database()).GetSearchEngineIcon();
  auto* mini = dynamic_cast<DuiLib::CButtonUI*>(window_.Control(QStringLiteral("searchmini_btn")));
  if (mini != nullptr && !icon.empty()) mini->SetNormalImage(Q(icon));
}

void SearchCommands::Search() {
  auto* edit = dynamic_cast<DuiLib::CEditUI*>(window_.Control(QStringLiteral("SearchEdit")));
  if (edit == nullptr) return;
  Pages& pages = window_.PageList();
  const SearchRecords records(pages.Database());
  WebSearch(records).Search(
      edit->GetText(), [&pages](const WString& url) { pages.OpenUrlInNewTab(url); }, !pages.IsPrivate());
}

void SearchCommands::ShowFindWindow() {
  const QRect download = window_.ControlScreenRect(QStringLiteral("download_btn"));
  if (window_.CurrentPage() == nullptr || download.isEmpty()) return;
  Pages& pages = window_.PageList();
  FindWnd find(
      [&pages](const QString& text, bool forward) {
        // The page may have closed while the window was open.
        Page* current = pages.Current();
        if (current == nullptr || current->Body() == nullptr) return;
        forward ? current->Body()->FindNext(text.toStdU16String()) : current->Body()->FindPrevious(text.toStdU16String());
      },
      lastFindText_);
  find.Run(window_.Handle(), FindWnd::TopLeftFor(download, kFindWindowWidth, window_.IsFavoriteBarShown()));
  lastFindText_ = find.GetFindText();
}

}  // namespace tarvo
