#pragma once

#include "engines/webengine/cef_app.h"
#include "engines/webengine/cef_browser_process_handler.h"

namespace tarvo::cef {

// The browser's application object: appends the plug-in switches to every engine
// process's command line. Created once at start-up and kept for the whole run.
// Threads: stateless; safe on any thread.
class WebApp : public CefApp, public CefBrowserProcessHandler {
 public:
  // Appends, in this order, "enable-npapi", "ppapi-flash-version", "ppapi-flash-path"
  // and "plugin-policy" with their values, whatever the process type. The plug-in
  // path is relative: the engine resolves it against the working folder, and a
  // missing plug-in folder only means Flash content does not load.
  void OnBeforeCommandLineProcessing(const std::string& process_type, CefCommandLine& command_line) override;
  CefBrowserProcessHandler* GetBrowserProcessHandler() override { return this; }
};

}  // namespace tarvo::cef
