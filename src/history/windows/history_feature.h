#pragma once
// Clearing browsing data and the history page join the browser: the clear-data
// window and the history page as commands, clearing through the engines' ports, site
// data left by an earlier clearing emptied before the engines start, and exit
// cleaning while the engines still run.
//
// Threads: the first thread, at start-up (before the engine starts). The feature's
// objects live for the process.
namespace tarvo {

struct FeatureHooks;

class HistoryFeature {
 public:
  static void Register(FeatureHooks& hooks);
};

}  // namespace tarvo
