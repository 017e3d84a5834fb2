#pragma once
// The main window's private messages that carry data (MainWindowMessages): moving a
// dropped tab, the compatibility bodies' key translators and a closed engine window
// leaving the body bar. (The messages that only ask for a window are commands:
// CommandTable::ForMessage.) No parameter owns anything: the pointers name objects
// that their owners keep.
//
// The compatibility bodies' key translators are not handed to the toolkit directly:
// a body announces its removal by a posted message, so a key could reach a body that
// is already gone. This handler stands in for them and asks only bodies whose page is
// still listed.
//
// Threads: the main window's thread only. Lifetime: owned by the main window, whose
// page list it refers to (non-owning); it must be removed from the window's
// translators before it goes.
#include <set>

#include "ui/ui_defs.h"
#include "ui/ui_interfaces.h"

namespace tarvo {

class Pages;

class MainWindowMessageHandler : public DuiLib::ITranslateAccelerator {
 public:
  explicit MainWindowMessageHandler(Pages& pages) : pages_(pages) {}
  ~MainWindowMessageHandler() override;
  MainWindowMessageHandler(const MainWindowMessageHandler&) = delete;
  MainWindowMessageHandler& operator=(const MainWindowMessageHandler&) = delete;

  // Handles `msg` when it is one of the private messages (`handled` set); anything
  // else is left alone.
  DuiLib::LRESULT Handle(DuiLib::UINT msg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam, bool& handled);

  // Asks the translators of listed compatibility bodies; S_OK when one took the key.
  DuiLib::LRESULT TranslateAccelerator(DuiLib::MSG* msg) override;
  // How many body translators are registered (for tests).
  size_t TranslatorCount() const { return translators_.size(); }

 private:
  void MoveTab(int from, int to);
  bool IsListedBody(DuiLib::ITranslateAccelerator* translator) const;

  Pages& pages_;
  std::set<DuiLib::ITranslateAccelerator*> translators_;  // not owned: the bodies' own
};

}  // namespace tarvo
