#pragma once

namespace tarvo {

class UpdateCheck;
struct UpdateSettings;

// A downloaded update, run at start-up or when the user accepts it from the menu:
// the installer runs in place of the browser when the command line allows it (no
// address, no "-noupdate"), the browser is not installed by a package manager, no
// process of the installer's file name runs yet, the stored announcement is signed
// by the brand, and the file under the announced version's name is there with the
// announced size and checksum. A file that does not match is deleted and never run.
// The installer is made executable by its owner and started detached through
// /bin/sh, so a script without an interpreter line runs too.
//
// Threads: the first thread (start-up, or the GUI thread).
class PendingInstaller {
 public:
  // True when the installer was started: the browser then ends (at start-up without
  // a window).
  static bool Run(const UpdateCheck& check, const UpdateSettings& settings, bool checkUpdates);
};

}  // namespace tarvo
