// The browser's entry point: "--version" and "--help" answer at once; otherwise the
// crash handler, then the application's run and its exit work. The process ends
// with 0 whichever way the run ended.
#include <openssl/crypto.h>

#include <cstdio>
#include <cstring>

#include "app/ckx_browser_app.h"
#include "app/engine_versions.h"
#include "platform/crash_handler.h"
#include "platform/paths.h"

namespace {

constexpr const char* kHelp =
    "Usage: tarvo-browser [-noupdate] [-url ADDRESS | ADDRESS]...\n"
    "  or:  tarvo-browser -setasdefault | --version | --help\n"
    "\n"
    "TarvoBrowser, a web browser whose tabs are rendered by Chromium (Qt WebEngine) or by a\n"
    "compatibility engine (WebKitGTK) for banking and protected sites.\n"
    "\n"
    "  ADDRESS         open the address in a tab of its own; a running browser with the\n"
    "                  same data folder opens it instead\n"
    "  -url ADDRESS    the same, also for an address that begins with \"-\"\n"
    "  -noupdate       start the browser, not an update that was downloaded for it\n"
    "  -setasdefault   make TarvoBrowser the desktop's default web browser, then exit\n"
    "  --version       print the version and those of the two engines, and exit\n"
    "  --help          print this text and exit\n"
    "\n"
    "Environment: TARVO_API_URL (the service's base address), TARVO_API_KEYS and\n"
    "TARVO_API_CA (the signing keys and certification authority of a service on a loopback\n"
    "address, for tests), TARVO_DEBUG (diagnostics on standard error), XDG_DATA_HOME and\n"
    "XDG_CONFIG_HOME (where the browser keeps its data and its per-user choices).\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("TarvoBrowser %s\n%s", TARVO_VERSION, tarvo::EngineVersions::Describe().c_str());
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  tarvo::InstallCrashHandler(tarvo::DataRoot() + "tarvobrowser.dump");
  // Threads of the browser's own (icon fetches, the account's queue) may still be in
  // a request while the process ends: the crypto library must not free its tables
  // under them. Asked before anything else uses it, so its own clean-up never runs.
  OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
  tarvo::CKXBrowserApp app(argc, argv);
  app.Run();
  app.CleanUp();
  return 0;
}
