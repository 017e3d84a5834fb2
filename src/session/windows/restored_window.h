#pragma once
// Opens a saved window's tabs in a window's page list, in their saved order, as
// pages without a body: each tab shows its saved title and address and loads only
// when it is first selected, so a restore of many tabs costs about what one tab
// costs. The saved pinned tabs are pinned and the saved selected one is selected,
// which loads it.
//
// Threads: the GUI thread. Plain function object, no state.
#include "session/session_state.h"

namespace tarvo {

class Pages;

class RestoredWindow {
 public:
  // Adds the tabs at once and selects the saved selected one.
  static void Start(Pages& pages, const SavedWindow& saved);
};

}  // namespace tarvo
