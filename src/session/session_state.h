#pragma once
// What a session keeps of the browser's windows: per window its tabs in order
// (address, engine, pinned, zoom level, title) and the selected one, plus how the run that
// wrote it ended. Plain data.
#include <string>
#include <vector>

namespace tarvo {

struct SavedTab {
  std::string url;
  int engineType = 1;  // 1 Chromium, 2 compatibility
  bool pinned = false;
  double zoomLevel = 0;  // logarithmic, 0 is 100 %
  // What the tab showed, so a restored tab that is not loaded yet can show it too.
  std::string title;
  bool operator==(const SavedTab&) const = default;
};

struct SavedWindow {
  std::vector<SavedTab> tabs;
  int selected = 0;  // index into tabs
  bool operator==(const SavedWindow&) const = default;
};

struct SessionState {
  std::vector<SavedWindow> windows;
  // The run that wrote it closed in order (false: it was still running, or died).
  bool cleanExit = false;
  // Restores of this session begun since one last got through its first moments;
  // a restore that crashes the browser leaves it raised.
  int restoreAttempts = 0;
  bool operator==(const SessionState&) const = default;
};

}  // namespace tarvo
