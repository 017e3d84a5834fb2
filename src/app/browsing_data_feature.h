#pragma once
// Downloads and clearing browsing data join the browser: the download list, the
// clear-data window and the history page as commands; the Chromium client's
// download handler; the resumer that takes up the downloads of an earlier run; and
// the steps of the browser's end (unfinished downloads keep their bytes, exit
// cleaning while the engines run).
//
// Threads: the first thread, at start-up (before the engine starts). The feature's
// objects live for the process.
namespace tarvo {

struct FeatureHooks;

class BrowsingDataFeature {
 public:
  static void Register(FeatureHooks& hooks);
};

}  // namespace tarvo
