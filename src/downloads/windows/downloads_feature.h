#pragma once
// Downloads join the browser: the download list as commands, both engines' downloads
// in it (through the engines' ports), the list opening for a new download, the
// resumer that takes up the downloads of an earlier run, private windows' downloads
// leaving the list with the last private window, and at the end unfinished
// downloads keeping their bytes.
//
// Threads: the first thread, at start-up (before the engine starts). The feature's
// objects live for the process.
namespace tarvo {

struct FeatureHooks;

class DownloadsFeature {
 public:
  static void Register(FeatureHooks& hooks);
};

}  // namespace tarvo
