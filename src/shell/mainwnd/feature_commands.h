#pragma once
// The commands that feature windows run (favourites, downloads, clearing data,
// account and VPN, protection, QR code, history, settings, update): start-up
// registers a handler for each once, and every main window runs them through its
// router. A command nobody registered is unavailable: its menu entry is greyed out
// and its button does nothing.
//
// Threads: the GUI thread. Lifetime: owned by BrowserWindows; registration happens at
// start-up, before the first window is built.
#include <functional>
#include <map>

#include "shell/commands/command_args.h"

namespace tarvo {

class IBrowserWindow;

class FeatureCommands {
 public:
  using Handler = std::function<void(IBrowserWindow& window, const CommandArgs& args)>;
  // Whether the command can run for the window now; absent means always.
  using Availability = std::function<bool(IBrowserWindow& window)>;

  struct Entry {
    Handler handler;
    Availability available;
  };

  // Registers (or replaces) the handler of `command`.
  void Register(unsigned command, Handler handler, Availability available = {});
  // The registration of `command`, or nullptr.
  const Entry* Find(unsigned command) const;

 private:
  std::map<unsigned, Entry> entries_;
};

}  // namespace tarvo
