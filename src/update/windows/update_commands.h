#pragma once
// The main menu's update entry ("upgrade_btn", kCheckForUpdate) and default-browser
// entry ("default_btn", kMakeDefaultBrowser). The update entry names the own version
// and a newer announced one; choosing it checks now on a worker (the entry reads
// "Checking..." and both entries are greyed meanwhile) and then tells the result: a
// downloaded installer is offered for installing at once (the browser then closes),
// a package-managed browser points at its package manager; the answers name the
// engines' versions too. The default-browser
// entry runs xdg-settings on a worker and says how it went.
//
// Threads: GUI thread; the work runs on one worker thread at a time, whose result
// comes back through a queued call and is dropped once the windows are gone.
// Lifetime: registered once at start-up; the end step cancels a running download
// and joins the worker.
#include <functional>
#include <memory>
#include <vector>

#include <QString>

#include "platform/text.h"
#include "update/update_check.h"

namespace tarvo {

class BrowserWindows;

class UpdateCommands {
 public:
  // Registers the two commands and the update entry's label; `check` is the one the
  // service loop's update step uses too. `engines`, when given, names the engines the
  // browser runs on: every answer of the update entry ends with it, so the entry tells
  // at a glance how current the whole browser is. It is asked only when an answer is
  // shown.
  static void Register(BrowserWindows& windows, std::shared_ptr<UpdateCheck> check, UpdateSettings settings,
                       std::vector<std::function<void()>>& endSteps, std::function<QString()> engines = {});

  // The update entry's text in the current language: the own version, and the
  // announced one when it is newer; "checking" while a check runs.
  static WString EntryText(const WString& ownVersion, const WString& newerVersion, bool checking);
};

}  // namespace tarvo
