#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <stop_token>
#include <thread>

#include "net/request_route.h"
#include "platform/text.h"

namespace tarvo {

// The icons one window's pages want, fetched into the icon folder (PictureCache) one
// at a time by one worker thread of the queue's own, however often the pages change
// them. Each requester (a page) wants at most one address: a new one replaces its
// old one, which is dropped (and its fetch given up, if running) once nobody wants
// it any more. An address several requesters want is fetched once. At most
// `capacity` addresses wait; beyond that the one waiting longest is dropped.
//
// A fetch takes the route `routeFor` gives when it starts, or the system's way when
// every requester of its address asked for that (a page whose own engine never
// takes the route). An address whose fetch failed is not asked for again within
// kRetryAfter (a page naming it again and again would otherwise be served again and
// again).
//
// Threads: Want and Forget from any thread; `fetched` is called on the worker
// thread, outside the queue's lock, for an address still wanted when its file is in
// place. The destructor gives up a running fetch and waits for the worker.
class IconFetchQueue {
 public:
  static constexpr size_t kCapacity = 64;
  static constexpr std::chrono::seconds kRetryAfter{60};
  // The route of an address at the moment its fetch starts.
  using RouteFor = std::function<RequestRoute(WStringView url)>;
  using Fetched = std::function<void(const WString& iconUrl)>;

  IconFetchQueue(RouteFor routeFor, Fetched fetched, size_t capacity = kCapacity);
  IconFetchQueue(const IconFetchQueue&) = delete;
  IconFetchQueue& operator=(const IconFetchQueue&) = delete;

  // `requester` wants `iconUrl` from now on (an empty address: nothing), on the
  // route or (`routed` false) the system's way.
  void Want(const void* requester, const WString& iconUrl, bool routed = true);
  void Forget(const void* requester) { Want(requester, WString()); }

 private:
  void Run(std::stop_token stop);
  struct Wish {
    WString url;
    bool routed = true;
  };
  // Whether any requester wants `url`, and whether any of them on the route; the
  // caller holds mutex_.
  bool WantedLocked(const WString& url) const;
  bool RoutedLocked(const WString& url) const;
  // Whether `url` failed within kRetryAfter; forgets older failures.
  bool FailedLatelyLocked(const WString& url);
  // The next address to fetch (empty once stopping); waits for one.
  WString Next(std::stop_token& stop);

  const RouteFor routeFor_;
  const Fetched fetched_;
  const size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable_any wake_;
  std::map<const void*, Wish> wishes_;     // guarded by mutex_
  std::deque<WString> waiting_;            // guarded by mutex_; oldest first, no repeats
  WString running_;                        // guarded by mutex_; the address being fetched
  // Addresses whose fetch failed lately, oldest first, at most `capacity`.
  std::deque<std::pair<WString, std::chrono::steady_clock::time_point>> failed_;  // guarded by mutex_
  // Last, so it goes first: it is stopped (a running fetch gives up within about a
  // second) and joined while everything it uses still exists.
  std::jthread worker_;
};

}  // namespace tarvo
