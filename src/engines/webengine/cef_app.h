#pragma once

#include <string>

#include "engines/webengine/cef_command_line.h"

namespace tarvo::cef {

class CefBrowserProcessHandler;

// The application object handed to CefExecuteProcess and CefInitialize. One object
// serves the browser process and every engine sub-process.
// Threads: called on the thread that called the entry point.
class CefApp {
 public:
  virtual ~CefApp() = default;

  // Lets the application add engine switches before the engine reads them.
  // process_type is empty for the browser process, else the "--type" value.
  virtual void OnBeforeCommandLineProcessing(const std::string& process_type, CefCommandLine& command_line) {
    (void)process_type;
    (void)command_line;
  }
  // Browser-process notifications, or nullptr for none. Non-owning: the handler
  // lives as long as the application object.
  virtual CefBrowserProcessHandler* GetBrowserProcessHandler() { return nullptr; }
};

}  // namespace tarvo::cef
