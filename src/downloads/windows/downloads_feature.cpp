#include "downloads/windows/downloads_feature.h"

#include "downloads/download_manager.h"
#include "downloads/download_resumer.h"
#include "downloads/windows/desktop_files.h"
#include "downloads/windows/download_prompts.h"
#include "downloads/windows/download_windows.h"
#include "history/browsing_data_cleaner.h"
#include "shell/commands/post_command.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/feature_hooks.h"
#include "shell/pages/i_engine_port.h"

namespace tarvo {

namespace {

// The feature's objects, made once.
struct Downloads {
  Downloads(UserDatabase& database, const AccountState& account)
      : manager(*new DownloadManager(database)), resumer{manager, VpnRoute(account)} {}

  // Never destroyed: the engines report downloads, and clearing browsing data reaches
  // the list, up to the process's end.
  DownloadManager& manager;
  DownloadWindows windows{manager};
  DownloadPrompts prompts;
  DesktopFiles desktop;
  DownloadResumer resumer;
};

}  // namespace

void DownloadsFeature::Register(FeatureHooks& hooks) {
  static Downloads feature{hooks.database, hooks.account};
  hooks.dataCleaner.SetDownloads(&feature.manager);
  feature.manager.SetDesktop(&feature.desktop);
  feature.manager.SetChangeListener([] { feature.windows.RequestRefresh(); });
  feature.windows.RegisterCommands(hooks.windows.Features());
  // What private windows downloaded is not listed once none of them is open.
  hooks.windows.AddLastPrivateClosedHook([] { feature.manager.ForgetUnrecorded(); });
  for (IEnginePort* engine : hooks.engines) {
    engine->HandleDownloads(feature.manager, feature.prompts,
                            [](DuiLib::HWND mainWindow, const WString& url, bool unrecorded) {
                              // The validator is kept in the info table.
                              if (!unrecorded) feature.resumer.ProbeValidator(url);
                              if (mainWindow != 0) PostCommand(mainWindow, Commands::kShowDownloadsForNewDownload);
                            });
  }
  feature.resumer.ResumeInterrupted();
  hooks.endSteps.push_back([engines = hooks.engines] {
    for (IEnginePort* engine : engines) engine->StopDownloads();
    feature.resumer.StopAll();
  });
}

}  // namespace tarvo
