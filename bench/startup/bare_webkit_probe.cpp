// Start-up probe: a bare QWebView program loading the same page, the yardstick for
// the compatibility layer.
#include <QApplication>
#include <QWebView>

#include "bench/startup/probe_report.h"

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  QApplication application(argc, argv);
  ProbeArguments probe;
  if (!ProbeArguments::Parse(application.arguments(), &probe)) {
    return 2;
  }
  QWidget window;
  window.resize(1024, 768);
  window.show();
  int loaded = 0;
  for (int i = 0; i < probe.tabs; ++i) {
    auto* view = new QWebView(&window);
    view->resize(1024, 768);
    view->setVisible(i == 0);
    QObject::connect(view, &QWebView::loadFinished, [&](bool) {
      if (++loaded == probe.tabs) {
        ReportLoaded(clock);
      }
    });
    view->load(QUrl(probe.url));
  }
  return application.exec();
}
