// Start-up probe: a bare QWebEngineView program loading the same page, the
// yardstick for the Chromium layer.
#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "bench/startup/probe_report.h"

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  ProbeArguments probe;
  if (!ProbeArguments::Parse(application.arguments(), &probe)) {
    return 2;
  }
  // A named profile keeps its cookies and cache on disk, as the browser's does (Qt's
  // default profile is off the record).
  auto* profile = new QWebEngineProfile(QStringLiteral("Default"), &application);
  profile->setCachePath(probe.profile + "/Cache");
  profile->setPersistentStoragePath(probe.profile + "/Cookie");
  QWidget window;
  window.resize(1024, 768);
  window.show();
  int loaded = 0;
  std::vector<QWebEngineView*> views;
  for (int i = 0; i < probe.tabs; ++i) {
    auto* view = new QWebEngineView(&window);
    view->setPage(new QWebEnginePage(profile, view));
    view->resize(1024, 768);
    view->setVisible(i == 0);
    QObject::connect(view, &QWebEngineView::loadFinished, [&](bool) {
      if (++loaded == probe.tabs) {
        ReportLoaded(clock);
      }
    });
    view->load(QUrl(probe.url));
    views.push_back(view);
  }
  const int result = application.exec();
  for (QWebEngineView* view : views) {
    delete view;
  }
  return result;
}
