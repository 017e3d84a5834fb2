#pragma once

#include "account/vpn_route.h"
#include <cstdint>
#include <functional>
#include <string>

#include "platform/text.h"

namespace tarvo {

// The authority icons of protected sites, kept in the cache folder ("appdata/cache"):
// the icon at position i of a site's list is the file named by the host of its
// address, "_sign" and i as two digits ("www.ca.test_sign00"). An icon is fetched
// afresh each time its window asks (sites share names when their icons share a
// host), to a temporary name that is renamed into place when complete; of two
// fetches of one name the later request wins, whichever finishes first.
//
// The addresses come from the service, so they are checked before they name a file:
// only http and https addresses with a plain host name (no "/", "\", NUL or "..")
// are fetched, and only a picture within PictureDownload's bounds is kept. They go
// the Chromium engine's route (VpnRoute): through the VPN's node while it is on. A
// private window's certification window takes them into memory instead
// (FetchToMemoryAsync), with the same checks, and writes nothing.
//
// Threads: any; fetches run on detached worker threads of their own. The object
// holds only the folder and the route, so it may go before the fetches it started
// end (the account state behind the route lives as long as the process).
class AuthorityIconCache {
 public:
  static constexpr size_t kMaxIndex = 99;  // two digits

  // `folder`: the cache folder, ending with "/"; `route`: the way the fetches go.
  AuthorityIconCache(WString folder, VpnRoute route) : folder_(std::move(folder)), route_(route) {}

  // The file of icon `index` of `iconUrl`; empty when the address names none.
  WString PathFor(WStringView iconUrl, size_t index) const;

  // Fetches on the calling thread; true when the file is in place afterwards.
  bool Fetch(const WString& iconUrl, size_t index) const;

  // Called on the worker thread once the icon's file is in place.
  using Done = std::function<void(const WString& iconUrl, const WString& path)>;
  // Fetch on a new detached thread; `done` hears only a success. False when the
  // address names no file or no thread could start.
  bool FetchAsync(const WString& iconUrl, size_t index, Done done) const;

  // Called on the worker thread with the icon's bytes.
  using BytesDone = std::function<void(const WString& iconUrl, std::string bytes)>;
  // The icon into memory on a new detached thread; `done` hears only a success.
  // False when the address is not one to fetch or no thread could start.
  bool FetchToMemoryAsync(const WString& iconUrl, BytesDone done) const;

 private:
  WString folder_;
  VpnRoute route_;
};

}  // namespace tarvo
