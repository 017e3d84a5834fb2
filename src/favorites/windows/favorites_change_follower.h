#pragma once
// Calls a GUI-thread function after the favourites changed, whichever thread changed
// them: the store's notification only queues one call on the event loop, however
// many changes come before it runs, and a follower that is gone is not called.
//
// Threads: made and destroyed on the GUI thread; `changed` runs there.
#include <functional>
#include <memory>

namespace tarvo {

class FavoritesStore;

class FavoritesChangeFollower {
 public:
  // `store` must outlive the follower.
  FavoritesChangeFollower(FavoritesStore& store, std::function<void()> changed);
  ~FavoritesChangeFollower();
  FavoritesChangeFollower(const FavoritesChangeFollower&) = delete;
  FavoritesChangeFollower& operator=(const FavoritesChangeFollower&) = delete;

 private:
  struct Link;

  FavoritesStore& store_;
  std::shared_ptr<Link> link_;
  int subscription_ = 0;
};

}  // namespace tarvo
