#include "favorites/windows/favorites_change_follower.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>

#include "favorites/favorites_store.h"

namespace tarvo {

// Shared with the queued calls: `changed` is touched on the GUI thread only (and
// emptied when the follower goes); `queued` by any thread.
struct FavoritesChangeFollower::Link {
  std::function<void()> changed;
  std::atomic<bool> queued = false;
};

FavoritesChangeFollower::FavoritesChangeFollower(FavoritesStore& store, std::function<void()> changed)
    : store_(store), link_(std::make_shared<Link>()) {
  link_->changed = std::move(changed);
  subscription_ = store_.Subscribe([link = link_] {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || link->queued.exchange(true)) return;
    QMetaObject::invokeMethod(
        app,
        [link] {
          link->queued = false;
          // A copy: the call may end the follower.
          const std::function<void()> changed = link->changed;
          if (changed) changed();
        },
        Qt::QueuedConnection);
  });
}

FavoritesChangeFollower::~FavoritesChangeFollower() {
  store_.Unsubscribe(subscription_);
  link_->changed = nullptr;
}

}  // namespace tarvo
