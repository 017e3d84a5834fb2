#pragma once

#include <functional>
#include <string>

namespace tarvo::cef {

// How pages reach the screen: composited through OpenGL, or drawn by the CPU straight
// into the window. Where the machine has no GPU device (a virtual machine, a remote or
// virtual X display), OpenGL is itself emulated on the CPU: creating its context alone
// loads the emulator's compiler (tens of milliseconds of every start and megabytes of
// memory) only to draw what the CPU could draw directly, so there the pages are drawn
// in software. A user's own choice of Qt's rendering variables always wins.
class DisplayCompositing {
 public:
  // Reads one environment variable; nullptr when unset.
  using Environment = std::function<const char*(const char*)>;

  // Whether pages should be drawn in software, from the environment and whether a GPU
  // device node exists.
  static bool PrefersSoftware(const Environment& environment, bool gpuDeviceExists);
  // Whether /dev/dri holds a device a GPU driver could render with.
  static bool GpuDeviceExists();

  // Before the QApplication exists: chooses software drawing when preferred, and keeps
  // the toolkit from loading OpenGL at all then. True when software was chosen.
  static bool ChooseBeforeApplication();
  // Once the QApplication exists: programs the browser starts later (a downloaded
  // file's viewer) inherit the user's environment, not this choice.
  static void ForgetChoiceInEnvironment();
};

}  // namespace tarvo::cef
