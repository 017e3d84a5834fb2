#pragma once
// Runs the favourites' store operations off the GUI thread, one after the other in
// the order they were asked for (a logged-in user's changes wait for the service),
// and hands each result back on the GUI thread.
//
// Threads: Post and Finish on the GUI thread; the work runs on the worker's one
// thread; `done` runs on the GUI thread, and only while `context` (when given) still
// exists. Lifetime: the browser's is made with the favourites store at start-up and
// never destroyed (its work may still run at the process's end); tests make their own.
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <functional>

namespace tarvo {

class FavoritesWorker {
 public:
  FavoritesWorker();
  FavoritesWorker(const FavoritesWorker&) = delete;
  FavoritesWorker& operator=(const FavoritesWorker&) = delete;

  // Queues `work`; its result goes to `done` (may be empty) on the GUI thread.
  void Post(std::function<int()> work, std::function<void(int result)> done = {}, QObject* context = nullptr);
  // Waits for the queued work (at the browser's end, so no change is lost), at most
  // `waitMs`. True when everything finished.
  bool Finish(int waitMs);

 private:

  QThreadPool pool_;
};

}  // namespace tarvo
