#pragma once

namespace tarvo {

// Makes the browser the desktop's default web browser: xdg-settings with the
// browser's desktop entry, which the package installs. Waits for xdg-settings (at
// most kLimitSeconds), so the caller can say how it went.
//
// Threads: any; blocking (a window runs it on a worker).
class DefaultBrowser {
 public:
  enum class Result {
    kDone,
    kToolMissing,  // xdg-settings is not installed
    kRefused,      // it failed: most often the desktop entry is not installed
  };
  static Result Make();

  static constexpr const char* kDesktopEntry = "tarvo-browser.desktop";
  static constexpr int kLimitSeconds = 20;
};

}  // namespace tarvo
