#include "net/curl_handle_lease.h"

#include <array>
#include <mutex>

namespace tarvo {

namespace {

// The TLS sessions (and name look-ups) of every thread's kept handle. Made once and
// never freed: threads may still run transfers while the process exits.
CURLSH* SharedSessions(const CurlLibrary& curl) {
  static std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
  static CURLSH* const share = [&curl] {
    CURLSH* made = curl.ShareInit();
    if (made == nullptr) {
      return made;
    }
    curl.ShareOption(
        made, CURLSHOPT_LOCKFUNC,
        +[](CURL*, curl_lock_data data, curl_lock_access, void*) { locks[static_cast<size_t>(data)].lock(); });
    curl.ShareOption(
        made, CURLSHOPT_UNLOCKFUNC,
        +[](CURL*, curl_lock_data data, void*) { locks[static_cast<size_t>(data)].unlock(); });
    curl.ShareOption(made, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    curl.ShareOption(made, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    return made;
  }();
  return share;
}

struct KeptHandle {
  CurlEasyHandle handle;
  bool busy = false;
};

}  // namespace

CurlHandleLease::CurlHandleLease(bool direct, bool secure) {
  thread_local std::array<KeptHandle, 2> keptByScheme;
  KeptHandle& kept = keptByScheme[secure ? 1 : 0];
  if (direct && !kept.busy) {
    if (!kept.handle) {
      kept.handle = MakeCurlEasyHandle();
    }
    if (kept.handle) {
      const CurlLibrary& curl = *CurlLibrary::Opened();
      // Options go back to the defaults; the handle's connections and sessions stay.
      curl.EasyReset(kept.handle.get());
      if (CURLSH* share = SharedSessions(curl); share != nullptr) {
        curl.SetOption(kept.handle.get(), CURLOPT_SHARE, share);
      }
      curl.SetOption(kept.handle.get(), CURLOPT_MAXAGE_CONN, kKeptConnectionSeconds);
      kept.busy = true;
      keptBusy_ = &kept.busy;
      handle_ = kept.handle.get();
      return;
    }
  }
  own_ = MakeCurlEasyHandle();
  handle_ = own_.get();
}

CurlHandleLease::~CurlHandleLease() {
  if (keptBusy_ != nullptr) {
    *keptBusy_ = false;
  }
}

}  // namespace tarvo
