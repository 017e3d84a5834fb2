// The browser's entry point: the crash handler, then the application's run and its
// exit work. The process ends with 0 whichever way the run ended.
#include "app/ckx_browser_app.h"
#include "platform/crash_handler.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
  tarvo::InstallCrashHandler(tarvo::DataRoot() + "tarvobrowser.dump");
  tarvo::CKXBrowserApp app(argc, argv);
  app.Run();
  app.CleanUp();
  return 0;
}
