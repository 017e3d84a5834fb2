#pragma once
// The main window's commands for searching: the search-engine chooser under
// "se_btn" and its icon on "searchmini_btn", searching the search box's text in a new
// tab, and the find window for the current page, placed under the download button.
//
// Threads: GUI thread. Lifetime: owned by the main window, which it refers to
// (non-owning).
#include <QString>

namespace tarvo {

class CommandRouter;
class IMainWindow;

class SearchCommands {
 public:
  // The find window's width in its skin; it is placed before it exists.
  static constexpr int kFindWindowWidth = 420;

  // Registers its commands on `router`.
  SearchCommands(IMainWindow& window, CommandRouter& router);

  // Puts the current engine's icon on "searchmini_btn".
  void ShowSearchEngineIcon();

 private:
  void ChooseSearchEngine();
  void Search();
  void ShowFindWindow();

  IMainWindow& window_;
  QString lastFindText_;
};

}  // namespace tarvo
