// Start-up probe: the compatibility layer (the engine's module loaded as the browser
// loads it, a profile and its controls).
#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <vector>

#include "bench/startup/probe_report.h"
#include "engines/webkitgtk/compat_engine_loader.h"
#include "engines/webkitgtk/lazy_compat_profile.h"
#include "engines/webkitgtk/web_browser_control.h"
#include "engines/webkitgtk/web_browser_events.h"

namespace {
class LoadCounter : public tarvo::ie::WebBrowserEvents {
 public:
  void DocumentComplete(tarvo::ie::DispatchId dispatch, const tarvo::WString&) override {
    if (std::find(tops.begin(), tops.end(), dispatch) != tops.end() && ++loaded == expected) {
      ReportLoaded(*clock);
    }
  }
  std::vector<tarvo::ie::DispatchId> tops;
  int loaded = 0;
  int expected = 0;
  const QElapsedTimer* clock = nullptr;
};
}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  QApplication application(argc, argv);
  ProbeArguments probe;
  if (!ProbeArguments::Parse(application.arguments(), &probe)) {
    return 2;
  }
  tarvo::ie::CompatEngineLoader loader;
  tarvo::ie::LazyCompatProfile profile(loader, {probe.profile + "/Compat", probe.profile + "/Cache/Compat"});
  if (profile.Get() == nullptr) return 3;
  QWidget window;
  window.resize(1024, 768);
  window.show();
  LoadCounter counter;
  counter.expected = probe.tabs;
  counter.clock = &clock;
  std::vector<std::unique_ptr<tarvo::ie::WebBrowserControl>> controls;
  for (int i = 0; i < probe.tabs; ++i) {
    controls.push_back(loader.LoadedEngine()->CreateControl(&window, *profile.Get(), nullptr));
    controls.back()->SetEventSink(&counter);
    controls.back()->Show(i == 0);
    counter.tops.push_back(controls.back()->Dispatch());
  }
  for (auto& control : controls) {
    control->Navigate(probe.url.toStdU16String());
  }
  return application.exec();
}
