#include "favorites/windows/favorites_worker.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QRunnable>

namespace tarvo {

FavoritesWorker::FavoritesWorker() {
  // One thread keeps the changes in order.
  pool_.setMaxThreadCount(1);
}

void FavoritesWorker::Post(std::function<int()> work, std::function<void(int)> done, QObject* context) {
  const bool hasContext = context != nullptr;
  QPointer<QObject> guard(context);
  pool_.start(QRunnable::create([work = std::move(work), done = std::move(done), guard, hasContext] {
    const int result = work();
    QCoreApplication* app = QCoreApplication::instance();
    if (!done || app == nullptr) return;
    QMetaObject::invokeMethod(
        app,
        [done, guard, hasContext, result] {
          if (!hasContext || guard != nullptr) done(result);
        },
        Qt::QueuedConnection);
  }));
}

bool FavoritesWorker::Finish(int waitMs) { return pool_.waitForDone(waitMs); }

}  // namespace tarvo
