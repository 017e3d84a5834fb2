#pragma once
// Opens the clear-data window under a main window's clear button (the button, the
// main menu, Ctrl+Shift+A) and the history page for the main menu's history entry.
//
// GUI thread only. Lifetime: made at start-up, lives for the process.
#include "ui/ui_defs.h"

namespace tarvo {

class BrowsingDataCleaner;
class FeatureCommands;
class UserDatabase;

class HistoryWindows {
 public:
  HistoryWindows(BrowsingDataCleaner& cleaner, UserDatabase& database) : cleaner_(cleaner), database_(database) {}

  // kShowClearData and kShowHistory.
  void RegisterCommands(FeatureCommands& commands);

 private:
  BrowsingDataCleaner& cleaner_;
  UserDatabase& database_;
  DuiLib::HWND historyPage_ = 0;  // the open history page, if it still exists
};

}  // namespace tarvo
