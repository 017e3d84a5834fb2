#pragma once
// What a feature plugs into at start-up: the main windows (the commands it runs, and
// what it does with each new window), the service loop's round, the steps of the
// browser's end, the engines' ports and the objects of the profile that start-up
// makes. Each feature's Register(FeatureHooks&) is called in turn, so the order of
// registration is the order in which the loop's steps and the end's steps run.
//
// Threads: filled on the first thread at start-up, before the service loop starts
// and before the first window is built.
#include <functional>
#include <vector>

#include "shell/mainwnd/service_step.h"

namespace tarvo {

class AccountState;
class AccountTaskQueue;
class BrowserWindows;
class BrowsingDataCleaner;
class IEnginePort;
class LoginFormEvents;
class PasswordKeeper;
class UserDatabase;

struct FeatureHooks {
  BrowserWindows& windows;
  // Work on the service loop's thread, every round (every five minutes).
  std::vector<ServiceStep>& serviceSteps;
  // Work once the last main window has closed, while the engines still run (the VPN
  // goes off, what the engines keep is cleared), on the first thread.
  std::vector<std::function<void()>>& endSteps;
  // Every engine's port, the Chromium engine's first: a feature asks the engines
  // through these and never includes an engine.
  const std::vector<IEnginePort*>& engines;
  // The login and VPN state, made by start-up and alive to the process's end (the
  // account task queue's thread and detached icon fetches may read it after the run).
  AccountState& account;
  // Where the engines' pages report log-in forms; the saved-passwords feature listens.
  LoginFormEvents& loginForms;
  // The saved passwords' keeper (the passwords feature, the settings window and
  // clearing browsing data share it); alive to the process's end.
  PasswordKeeper& passwords;
  // What the clear-data window and the browser's end clear through; alive to the
  // process's end.
  BrowsingDataCleaner& dataCleaner;
  // The thread of the account and VPN operations; alive to the process's end.
  AccountTaskQueue& accountTasks;
  // The profile's database, open; alive to the process's end.
  UserDatabase& database;
};

}  // namespace tarvo
