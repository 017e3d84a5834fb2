// Tab probe: bare QWebEngineView tabs in one window, the lower bound for our pages.
// A tab is a view filling the window; switching hides one view and shows another.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidget>
#include <unistd.h>

#include "bench/pages/tab_probe_report.h"

int main(int argc, char** argv) {
  // The engine's sandbox refuses to run as root, as our engine layer knows too.
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication application(argc, argv);
  TabProbeArguments probe;
  if (!TabProbeArguments::Parse(application.arguments(), &probe)) return 2;
  // A named profile keeps its cookies and cache on disk, as the browser's does (Qt's
  // default profile is off the record).
  auto* profile = new QWebEngineProfile(QStringLiteral("Default"), &application);
  profile->setCachePath(probe.profile + "/Cache");
  profile->setPersistentStoragePath(probe.profile + "/Storage");

  QWidget window;
  window.resize(1024, 768);
  window.show();
  std::vector<QWebEngineView*> views;  // owned by the window
  std::vector<double> openMs;
  for (int i = 0; i < probe.tabs; ++i) {
    QElapsedTimer clock;
    clock.start();
    auto* view = new QWebEngineView(&window);
    view->setPage(new QWebEnginePage(profile, view));
    view->setGeometry(window.rect());
    if (!views.empty()) views.back()->hide();
    view->show();
    QEventLoop loaded;
    QObject::connect(view, &QWebEngineView::loadFinished, &loaded, &QEventLoop::quit);
    view->load(QUrl(probe.url));
    loaded.exec();
    openMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    views.push_back(view);
  }
  std::vector<double> switchMs;
  QWebEngineView* shown = views.back();
  for (int i = 0; i < kTabSwitches && views.size() > 1; ++i) {
    QWebEngineView* next = views[static_cast<size_t>(i) % views.size()];
    if (next == shown) next = views[(static_cast<size_t>(i) + 1) % views.size()];
    QElapsedTimer clock;
    clock.start();
    shown->hide();
    next->show();
    QCoreApplication::processEvents();
    switchMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    shown = next;
  }
  ReportTabs(openMs, switchMs);
  return application.exec();
}
