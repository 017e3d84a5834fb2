#include "app/browsing_data_feature.h"

#include "app/feature_hooks.h"
#include "downloads/download_manager.h"
#include "downloads/download_resumer.h"
#include "downloads/windows/desktop_files.h"
#include "downloads/windows/download_prompts.h"
#include "downloads/windows/download_windows.h"
#include "engines/cef/chromium_download_handler.h"
#include "engines/cef/web_client.h"
#include "engines/ie/compat_download_handler.h"
#include "engines/webkitgtk/compat_engine_loader.h"
#include "history/browsing_data_cleaner.h"
#include "history/exit_cleaner.h"
#include "history/windows/history_windows.h"
#include "shell/commands/post_command.h"
#include "shell/mainwnd/browser_windows.h"
#include "store/user_database.h"
#include "ui/window_registry.h"

namespace tarvo {

namespace {

// The feature's objects, made once.
struct BrowsingData {
  DownloadManager& downloads = DownloadManager::Instance();
  DownloadWindows downloadWindows{downloads};
  DownloadPrompts prompts;
  DesktopFiles desktop;
  DownloadResumer resumer{downloads};
  ChromiumDownloadHandler engineDownloads{downloads, prompts, [this](int browserId, const WString& url,
                                                                     bool unrecorded) {
                                            // The validator is kept in the info table.
                                            if (!unrecorded) resumer.ProbeValidator(url);
                                            PostCommand(ClientInstance()->MainWindowOf(browserId),
                                                        Commands::kShowDownloadsForNewDownload);
                                          }};
  CompatDownloadHandler compatDownloads{downloads, prompts, [this](QWidget* pageWindow, const WString& url,
                                                                   bool unrecorded) {
                                           if (!unrecorded) resumer.ProbeValidator(url);
                                           if (pageWindow == nullptr) return;
                                           PostCommand(DuiLib::CWindowRegistry::Instance().FindByWidget(
                                                           pageWindow->window()),
                                                       Commands::kShowDownloadsForNewDownload);
                                         }};
  HistoryWindows historyWindows{BrowsingDataCleaner::Instance(), UserDatabase::Instance()};
};

}  // namespace

void BrowsingDataFeature::Register(FeatureHooks& hooks) {
  static BrowsingData feature;
  // What cookie clearing left for a time the engine is not running: now, before it
  // starts (the last run may have ended without its own end steps).
  BrowsingDataCleaner::Instance().EmptyPendingSiteData();
  feature.downloads.SetDesktop(&feature.desktop);
  feature.downloads.SetChangeListener([] { feature.downloadWindows.RequestRefresh(); });
  feature.downloadWindows.RegisterCommands(hooks.windows.Features());
  feature.historyWindows.RegisterCommands(hooks.windows.Features());
  feature.engineDownloads.Attach();
  ClientInstance()->SetDownloadDelegate(&feature.engineDownloads);
  hooks.compatEngine.SetDownloadListener(&feature.compatDownloads);
  feature.resumer.ResumeInterrupted();
  hooks.endSteps.push_back([] {
    feature.engineDownloads.KeepUnfinished();
    ClientInstance()->SetDownloadDelegate(nullptr);
    feature.resumer.StopAll();
  });
  hooks.endSteps.push_back([] {
    const BrowsingDataCleaner& cleaner = BrowsingDataCleaner::Instance();
    ExitCleaner(UserDatabase::Instance(), cleaner.Engines(), cleaner.SavedPasswords()).CleanWhileEnginesRun();
  });
}

}  // namespace tarvo
