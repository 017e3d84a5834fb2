#include "net/icon_fetch_queue.h"

#include <algorithm>
#include <system_error>

#include "net/i_http_callback.h"
#include "net/picture_cache.h"
#include "platform/debug_output.h"

namespace tarvo {

namespace {

// Gives the running fetch up when the queue stops or nobody wants its address.
class Abandon : public IHttpCallback {
 public:
  explicit Abandon(std::function<bool()> abandoned) : abandoned_(std::move(abandoned)) {}
  void OnDownloadProgress(uint32_t, int32_t, double, double) override {}
  bool IsCancelled() override { return abandoned_(); }

 private:
  std::function<bool()> abandoned_;
};

}  // namespace

IconFetchQueue::IconFetchQueue(RouteFor routeFor, Fetched fetched, size_t capacity)
    : routeFor_(std::move(routeFor)), fetched_(std::move(fetched)), capacity_(std::max<size_t>(capacity, 1)) {
  try {
    worker_ = std::jthread([this](std::stop_token stop) { Run(stop); });
  } catch (const std::system_error&) {
    DebugOutput("icons: no thread for the icon queue; icons not cached yet are not fetched");
  }
}

bool IconFetchQueue::WantedLocked(const WString& url) const {
  return std::any_of(wishes_.begin(), wishes_.end(), [&url](const auto& wish) { return wish.second.url == url; });
}

bool IconFetchQueue::RoutedLocked(const WString& url) const {
  return std::any_of(wishes_.begin(), wishes_.end(),
                     [&url](const auto& wish) { return wish.second.url == url && wish.second.routed; });
}

bool IconFetchQueue::FailedLatelyLocked(const WString& url) {
  const auto now = std::chrono::steady_clock::now();
  while (!failed_.empty() && now - failed_.front().second > kRetryAfter) failed_.pop_front();
  return std::any_of(failed_.begin(), failed_.end(), [&url](const auto& failure) { return failure.first == url; });
}

void IconFetchQueue::Want(const void* requester, const WString& iconUrl, bool routed) {
  {
    std::lock_guard lock(mutex_);
    const auto found = wishes_.find(requester);
    const WString before = found != wishes_.end() ? found->second.url : WString();
    if (iconUrl.empty()) {
      if (found != wishes_.end()) wishes_.erase(found);
    } else {
      wishes_[requester] = {iconUrl, routed};
    }
    // The old address waits no more once nobody wants it; a running fetch of it
    // notices by itself and gives up.
    if (!before.empty() && before != iconUrl && !WantedLocked(before)) std::erase(waiting_, before);
    const bool known = iconUrl == running_ || std::find(waiting_.begin(), waiting_.end(), iconUrl) != waiting_.end();
    if (iconUrl.empty() || known || FailedLatelyLocked(iconUrl)) return;
    waiting_.push_back(iconUrl);
    if (waiting_.size() > capacity_) waiting_.pop_front();
  }
  wake_.notify_one();
}

WString IconFetchQueue::Next(std::stop_token& stop) {
  std::unique_lock lock(mutex_);
  running_.clear();
  if (!wake_.wait(lock, stop, [this] { return !waiting_.empty(); }) || stop.stop_requested()) return WString();
  running_ = waiting_.front();
  waiting_.pop_front();
  return running_;
}

void IconFetchQueue::Run(std::stop_token stop) {
  for (WString url = Next(stop); !url.empty(); url = Next(stop)) {
    bool routed = true;
    {
      std::lock_guard lock(mutex_);
      routed = RoutedLocked(url);
    }
    Abandon abandon([&] {
      std::lock_guard lock(mutex_);
      return stop.stop_requested() || !WantedLocked(url);
    });
    const bool cached = PictureCache::FetchPicture(url, routed ? routeFor_(url) : RequestRoute(), &abandon);
    if (cached && !abandon.IsCancelled()) {
      fetched_(url);
    } else if (!cached && !abandon.IsCancelled()) {
      std::lock_guard lock(mutex_);
      failed_.emplace_back(url, std::chrono::steady_clock::now());
      if (failed_.size() > capacity_) failed_.pop_front();
    }
  }
}

}  // namespace tarvo
