#include "engines/webengine/web_app.h"

namespace tarvo::cef {

void WebApp::OnBeforeCommandLineProcessing(const std::string& /*process_type*/, CefCommandLine& command_line) {
  command_line.AppendSwitchWithValue("enable-npapi", "1");
  command_line.AppendSwitchWithValue("ppapi-flash-version", "28.0.0.161");
  command_line.AppendSwitchWithValue("ppapi-flash-path", "plugins/PepperFlash/28.0.0.161/libpepflashplayer.so");
  command_line.AppendSwitchWithValue("plugin-policy", "allow");
}

}  // namespace tarvo::cef
