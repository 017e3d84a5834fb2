#include "history/windows/history_feature.h"

#include "history/browsing_data_cleaner.h"
#include "history/exit_cleaner.h"
#include "history/windows/engine_ports_data.h"
#include "history/windows/history_windows.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/feature_hooks.h"
#include "store/user_database.h"

namespace tarvo {

void HistoryFeature::Register(FeatureHooks& hooks) {
  BrowsingDataCleaner& cleaner = hooks.dataCleaner;
  UserDatabase& database = hooks.database;
  static HistoryWindows windows{cleaner, database};
  static EnginePortsData engines;
  engines.Use(hooks.engines);
  cleaner.SetEngines(&engines);
  // What cookie clearing left for a time the engine is not running: now, before it
  // starts (the last run may have ended without its own end steps).
  cleaner.EmptyPendingSiteData();
  windows.RegisterCommands(hooks.windows.Features());
  hooks.endSteps.push_back([&cleaner, &database] {
    ExitCleaner(database, cleaner.Engines(), cleaner.SavedPasswords()).CleanWhileEnginesRun();
    // The engines stop after the end's steps: nothing may clear through them later.
    engines.Use({});
  });
}

}  // namespace tarvo
