#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "account/account_task_queue.h"

namespace tarvo {

// Runs an account or VPN operation off the interface thread: `work` on `queue`, then `done` with its result on the GUI thread through a queued
// call, unless `guard` (the asking window's) is gone by then, in which case the
// result is dropped.
//
// Threads: Run on the GUI thread; `work` on the queue's thread; `done` on the GUI
// thread. The guard is only dereferenced on the GUI thread.
class BackgroundTask {
 public:
  template <class Result>
  static void Run(AccountTaskQueue& queue, QObject* guard, std::function<Result()> work,
                  std::function<void(Result)> done) {
    QPointer<QObject> target(guard);
    queue.Post([work = std::move(work), done = std::move(done), target]() mutable {
      auto result = std::make_shared<Result>(work());
      QCoreApplication* app = QCoreApplication::instance();
      if (app == nullptr) return;
      QMetaObject::invokeMethod(
          app,
          [done = std::move(done), target, result] {
            if (target != nullptr) done(std::move(*result));
          },
          Qt::QueuedConnection);
    });
  }
};

}  // namespace tarvo
