#pragma once
// Runs a main window's commands, whatever asked for them: a click, a key, a menu
// entry, a private message or a bus request all end here. A command registered by a
// feature runs the feature's handler (start-up may so take over any command); any
// other runs the window's own handler; a command nobody handles is reported and
// dropped.
//
// Threads: the GUI thread. Lifetime: owned by the main window, which it refers to
// (non-owning), as it does to the feature registry (owned by BrowserWindows, which
// outlives every window).
#include <functional>
#include <map>

#include "shell/commands/command_args.h"

namespace tarvo {

class FeatureCommands;
class IBrowserWindow;

class CommandRouter {
 public:
  using Handler = std::function<void(const CommandArgs& args)>;
  using Availability = std::function<bool()>;

  CommandRouter(IBrowserWindow& window, const FeatureCommands* features) : window_(window), features_(features) {}

  // Registers (or replaces) the window's own handler of `command`.
  void Register(unsigned command, Handler handler, Availability available = {});
  // Runs `command`; false when nobody handles it.
  bool Run(unsigned command, const CommandArgs& args = {});
  // Whether `command` has a handler that can run now (menus grey out the others).
  bool IsAvailable(unsigned command) const;

 private:
  struct Entry {
    Handler handler;
    Availability available;
  };

  IBrowserWindow& window_;
  const FeatureCommands* features_;  // not owned; may be null
  std::map<unsigned, Entry> own_;
};

}  // namespace tarvo
