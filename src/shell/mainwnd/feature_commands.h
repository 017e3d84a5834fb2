#pragma once
// The commands that feature windows run (favourites, downloads, clearing data,
// account and VPN, protection, QR code, history, settings, update): start-up
// registers a handler for each once, and every main window runs them through its
// router. A command nobody registered is unavailable: its menu entry is greyed out
// and its button does nothing. A feature may also word the menu entry of its
// command itself (the update entry names the versions).
//
// Threads: the GUI thread. Lifetime: owned by BrowserWindows; registration happens at
// start-up, before the first window is built.
#include <functional>
#include <map>

#include "platform/text.h"
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

  // The text of the menu entry that runs `command`, asked each time a menu opens;
  // an empty text keeps the skin's or the menu's own.
  using Label = std::function<WString()>;
  void SetLabel(unsigned command, Label label);
  // The label's text now, or empty when `command` has none.
  WString LabelOf(unsigned command) const;

 private:
  std::map<unsigned, Entry> entries_;
  std::map<unsigned, Label> labels_;
};

}  // namespace tarvo
