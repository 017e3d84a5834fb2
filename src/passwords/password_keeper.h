#pragma once
// Runs the keyring's calls off the interface thread, one after the other in the order
// they were asked for, and hands each answer to the thread that asked through the
// poster installed at start-up. A keyring that answers slowly (or not at all, until
// the bus gives up) never holds the interface.
//
// Threads: the calls may come from any thread; the keyring is used on the keeper's
// one worker thread only; answers run where the poster puts them (the worker itself
// while none is installed). Lifetime: start-up makes the browser's and never
// destroys it; tests make their own, whose destructor waits for the queued calls.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "passwords/i_password_keyring.h"

namespace tarvo {

class PasswordKeeper {
 public:
  // Runs a task on the thread that should hear an answer.
  using Poster = std::function<void(std::function<void()> task)>;
  struct Lookup {
    KeyringResult result = KeyringResult::kDone;
    std::vector<SavedLogin> logins;  // the origin's, with passwords
    bool never = false;              // the origin is marked "never"
  };
  struct Listing {
    KeyringResult result = KeyringResult::kDone;
    std::vector<SavedLogin> logins;  // without passwords
    std::vector<WString> neverOrigins;
  };

  explicit PasswordKeeper(std::unique_ptr<IPasswordKeyring> keyring);
  ~PasswordKeeper();
  PasswordKeeper(const PasswordKeeper&) = delete;
  PasswordKeeper& operator=(const PasswordKeeper&) = delete;

  void SetPoster(Poster poster);
  // Counts the changes asked for so far (saves, marks, removals): a lookup answered
  // while the count was another may be out of date.
  uint64_t Changes() const { return changes_.load(); }

  // The log-ins of `origin` and whether it is marked "never".
  void Find(WString origin, std::function<void(const Lookup&)> done);
  void Save(SavedLogin login, std::function<void(KeyringResult)> done = {});
  void MarkNever(WString origin, std::function<void(KeyringResult)> done = {});
  void UnmarkNever(WString origin, std::function<void(KeyringResult)> done = {});
  void List(std::function<void(const Listing&)> done);
  void Reveal(WString origin, WString username, std::function<void(KeyringResult, const WString& password)> done);
  void Remove(WString origin, WString username, std::function<void(KeyringResult)> done = {});
  void RemoveAll(std::function<void(KeyringResult)> done = {});
  // Removes everything once the calls queued before it are done, waiting at most
  // `limit` (the browser's end, which must not end before). kUnavailable when the
  // wait ran out; the removal still happens if the keyring answers later.
  KeyringResult RemoveAllNow(std::chrono::milliseconds limit);

 private:
  // Queues `work` for the worker; its answer goes through the poster.
  void Queue(std::function<void()> work);
  // Queues one keyring call whose answer is its result.
  void QueueCall(std::function<KeyringResult(IPasswordKeyring&)> call, std::function<void(KeyringResult)> done);
  // Hands an answer to the poster (or runs it here without one).
  void Deliver(std::function<void()> answer);
  void Run();

  std::unique_ptr<IPasswordKeyring> keyring_;  // used on the worker only
  std::mutex mutex_;                           // guards what follows
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  Poster poster_;
  bool stopping_ = false;
  std::atomic<uint64_t> changes_{0};
  std::thread worker_;  // last: starts once everything above exists
};

}  // namespace tarvo
