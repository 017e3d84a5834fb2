#pragma once
// What a feature plugs into at start-up: the main windows (the commands it runs, and
// what it does with each new window), the service loop's round, and the steps of the
// browser's end. FeatureRegistrations hands it to each feature in turn, so the order
// of registration is the order in which the loop's steps and the end's steps run.
//
// Threads: filled on the first thread at start-up, before the service loop starts
// and before the first window is built.
#include <functional>
#include <vector>

#include "app/service_loop.h"

namespace tarvo {

class BrowserWindows;
namespace ie {
class CompatEngineLoader;
}

struct FeatureHooks {
  BrowserWindows& windows;
  // Work on the service loop's thread, every round (every five minutes).
  std::vector<ServiceLoop::Step>& serviceSteps;
  // Work once the last main window has closed, while the engines still run (the VPN
  // goes off, what the engines keep is cleared), on the first thread.
  std::vector<std::function<void()>>& endSteps;
  // The compatibility engine as it will be once loaded (downloads listen here).
  ie::CompatEngineLoader& compatEngine;
};

}  // namespace tarvo
