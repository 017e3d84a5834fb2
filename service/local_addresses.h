#pragma once

#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace tarvo::service {

// The addresses of this machine's own network interfaces, so the proxies can keep
// clients from reaching the host itself by one of its public addresses (a database
// or anything else bound to every address). Read when made and again whenever the
// kernel reports an address added or removed (a netlink socket the object listens
// on; where none can be opened, the list is read again every kRereadInterval).
// Addresses are kept in the form NumericHost gives ("::ffff:a.b.c.d" as "a.b.c.d").
//
// Threads: any; `mutex_` guards the list and the socket's reading.
class LocalAddresses {
 public:
  static constexpr std::chrono::seconds kRereadInterval{5};

  // This machine's interfaces, followed from now on.
  LocalAddresses();
  // A fixed list that never changes (tests).
  explicit LocalAddresses(const std::vector<std::string>& fixed);
  ~LocalAddresses();
  LocalAddresses(const LocalAddresses&) = delete;
  LocalAddresses& operator=(const LocalAddresses&) = delete;

  // True when `numeric` is an address of one of this machine's interfaces as they
  // are now.
  bool Contains(const std::string& numeric) const;

  // The list as it is now (figures, tests).
  std::set<std::string> Current() const;

 private:
  using Clock = std::chrono::steady_clock;

  // Reads the interfaces again when the kernel said they changed. Under mutex_.
  void RefreshIfChanged() const;
  // The addresses of every interface now (getifaddrs).
  static std::set<std::string> Read();

  const bool follows_ = true;
  int netlink_ = -1;  // owned; -1 without one
  mutable std::mutex mutex_;
  mutable std::set<std::string> addresses_;  // guarded by mutex_
  mutable Clock::time_point readAt_;         // guarded by mutex_
};

// `numeric` in the form NumericHost gives it, or "" when it is no numeric address.
std::string CanonicalAddress(const std::string& numeric);

}  // namespace tarvo::service
