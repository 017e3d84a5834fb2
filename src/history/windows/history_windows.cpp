#include "history/windows/history_windows.h"

#include "bus/bus_channels.h"
#include "history/windows/history_list_wnd.h"
#include "history/windows/history_wnd.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/feature_commands.h"
#include "shell/mainwnd/i_browser_window.h"
#include "ui/window_registry.h"

namespace tarvo {

void HistoryWindows::RegisterCommands(FeatureCommands& commands) {
  commands.Register(Commands::kShowClearData, [this](IBrowserWindow& window, const CommandArgs&) {
    const QRect button = window.ControlScreenRect(QStringLiteral("empty_btn"));
    HistoryWnd clear(cleaner_, database_);
    // Right edges aligned, the window right below the button.
    clear.Run(window.Handle(), QPoint(button.right(), button.bottom() + 1));
  });
  commands.Register(Commands::kShowHistory, [this](IBrowserWindow& window, const CommandArgs&) {
    if (auto* open = DuiLib::CWindowRegistry::Instance().Find(historyPage_)) {
      open->ShowWindow(true, true);
      return;
    }
    // Visits open in a new tab of the window the user used last.
    HistoryListWnd* page = HistoryListWnd::OpenNew(
        window.Handle(), database_, [](const WString& url) { BusChannels::PostUrl(BusChannels::kTabOpenUrl, url); });
    historyPage_ = page != nullptr ? page->GetHWND() : 0;
  });
}

}  // namespace tarvo
