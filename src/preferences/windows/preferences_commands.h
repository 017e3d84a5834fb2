#pragma once
// The main menu's settings and options entries (kShowSettings): one settings window
// at a time, centred on the main window that asked; asking again while it is open
// raises it. What the window changes reaches every main window: a new language
// (their tooltips), a new search engine (its icon on "searchmini_btn"); its
// default-browser button runs the main menu's default-browser command.
//
// GUI thread only. Lifetime: registered once at start-up; the handler lives as long
// as the windows' group.
namespace tarvo {

struct FeatureHooks;

class PreferencesCommands {
 public:
  static void Register(FeatureHooks& hooks);
};

}  // namespace tarvo
