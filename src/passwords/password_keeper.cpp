#include "passwords/password_keeper.h"

#include <future>

namespace tarvo {

PasswordKeeper::PasswordKeeper(std::unique_ptr<IPasswordKeyring> keyring)
    : keyring_(std::move(keyring)), worker_([this] { Run(); }) {}

PasswordKeeper::~PasswordKeeper() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void PasswordKeeper::SetPoster(Poster poster) {
  std::lock_guard lock(mutex_);
  poster_ = std::move(poster);
}

void PasswordKeeper::Queue(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
  }
  wake_.notify_one();
}

void PasswordKeeper::Deliver(std::function<void()> answer) {
  Poster poster;
  {
    std::lock_guard lock(mutex_);
    poster = poster_;
  }
  if (poster) {
    poster(std::move(answer));
  } else {
    answer();
  }
}

void PasswordKeeper::Run() {
  for (;;) {
    std::function<void()> work;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      // Stopping still finishes what was asked for: a removal must not be dropped.
      if (queue_.empty()) return;
      work = std::move(queue_.front());
      queue_.pop_front();
    }
    work();
  }
}

void PasswordKeeper::Find(WString origin, std::function<void(const Lookup&)> done) {
  Queue([this, origin = std::move(origin), done = std::move(done)]() mutable {
    Lookup lookup;
    lookup.result = keyring_->IsNever(origin, lookup.never);
    if (lookup.result == KeyringResult::kDone) lookup.result = keyring_->Find(origin, lookup.logins);
    if (done) Deliver([done = std::move(done), lookup = std::move(lookup)] { done(lookup); });
  });
}

void PasswordKeeper::QueueCall(std::function<KeyringResult(IPasswordKeyring&)> call,
                               std::function<void(KeyringResult)> done) {
  ++changes_;
  Queue([this, call = std::move(call), done = std::move(done)]() mutable {
    const KeyringResult result = call(*keyring_);
    if (done) Deliver([done = std::move(done), result] { done(result); });
  });
}

void PasswordKeeper::Save(SavedLogin login, std::function<void(KeyringResult)> done) {
  QueueCall([login = std::move(login)](IPasswordKeyring& keyring) { return keyring.Store(login); }, std::move(done));
}

void PasswordKeeper::MarkNever(WString origin, std::function<void(KeyringResult)> done) {
  QueueCall([origin = std::move(origin)](IPasswordKeyring& keyring) { return keyring.MarkNever(origin); },
            std::move(done));
}

void PasswordKeeper::UnmarkNever(WString origin, std::function<void(KeyringResult)> done) {
  QueueCall([origin = std::move(origin)](IPasswordKeyring& keyring) { return keyring.UnmarkNever(origin); },
            std::move(done));
}

void PasswordKeeper::List(std::function<void(const Listing&)> done) {
  Queue([this, done = std::move(done)]() mutable {
    Listing listing;
    listing.result = keyring_->List(listing.logins, listing.neverOrigins);
    if (done) Deliver([done = std::move(done), listing = std::move(listing)] { done(listing); });
  });
}

void PasswordKeeper::Reveal(WString origin, WString username,
                            std::function<void(KeyringResult, const WString&)> done) {
  Queue([this, origin = std::move(origin), username = std::move(username), done = std::move(done)]() mutable {
    WString password;
    const KeyringResult result = keyring_->Reveal(origin, username, password);
    if (done) Deliver([done = std::move(done), result, password = std::move(password)] { done(result, password); });
  });
}

void PasswordKeeper::Remove(WString origin, WString username, std::function<void(KeyringResult)> done) {
  QueueCall([origin = std::move(origin), username = std::move(username)](IPasswordKeyring& keyring) {
    return keyring.Remove(origin, username);
  }, std::move(done));
}

void PasswordKeeper::RemoveAll(std::function<void(KeyringResult)> done) {
  QueueCall([](IPasswordKeyring& keyring) { return keyring.RemoveAll(); }, std::move(done));
}

KeyringResult PasswordKeeper::RemoveAllNow(std::chrono::milliseconds limit) {
  auto promise = std::make_shared<std::promise<KeyringResult>>();
  std::future<KeyringResult> answer = promise->get_future();
  ++changes_;
  // Answered on the worker itself: the thread that waits may be the poster's.
  Queue([this, promise] { promise->set_value(keyring_->RemoveAll()); });
  if (answer.wait_for(limit) != std::future_status::ready) return KeyringResult::kUnavailable;
  return answer.get();
}

}  // namespace tarvo
