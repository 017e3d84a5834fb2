#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

// A Chromium-style command line: the program, then "--name" or "--name=value"
// switches, then plain arguments. The layer builds one for the browser process,
// lets the application append its switches, and hands the switches to the engine.
//
// Threads: a plain value; one thread at a time.
class CefCommandLine {
 public:
  // Parses argv (argv[0] is the program). Arguments after a lone "--" are plain.
  static CefRefPtr<CefCommandLine> CreateFromArgv(int argc, const char* const* argv);

  // True when "--name" or "--name=..." is present.
  bool HasSwitch(const std::string& name) const;
  // The value of the last "--name=value", or an empty text.
  std::string GetSwitchValue(const std::string& name) const;
  // Appends "--name" (no value).
  void AppendSwitch(const std::string& name);
  // Appends "--name=value"; an existing switch of the same name stays and the new
  // one follows it, as the engine's own command line does.
  void AppendSwitchWithValue(const std::string& name, const std::string& value);

  // The value of "--type", empty for the browser process.
  std::string GetProcessType() const { return GetSwitchValue("type"); }
  // Switches in order, each as "--name" or "--name=value".
  std::vector<std::string> GetSwitchTexts() const;
  const std::vector<std::string>& GetArguments() const { return arguments_; }

 private:
  std::string program_;
  std::vector<std::pair<std::string, std::string>> switches_;  // name, value (may be empty)
  std::vector<std::string> arguments_;
};

}  // namespace tarvo::cef
