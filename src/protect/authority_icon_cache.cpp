#include "protect/authority_icon_cache.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "account/vpn_route.h"
#include "net/picture_download.h"
#include "url/url_parts.h"

namespace tarvo {

namespace {

bool IsPlainHost(const WString& host) {
  if (host.empty() || host.find(u"..") != WString::npos || host.front() == u'.') return false;
  for (char16_t c : host) {
    if (c == u'/' || c == u'\\' || c == u'\0' || c < 0x20) return false;
  }
  return true;
}

// An http or https address with a plain host.
bool IsFetchable(WStringView iconUrl) { return !GetUrlScheme(iconUrl).empty() && IsPlainHost(GetUrlHost(iconUrl)); }

// The newest request for each file: only that one may rename its download into place.
std::mutex& RequestsMutex() {
  static std::mutex* mutex = new std::mutex();
  return *mutex;
}
std::map<std::string, uint64_t>& NewestRequests() {
  static auto* newest = new std::map<std::string, uint64_t>();
  return *newest;
}

}  // namespace

WString AuthorityIconCache::PathFor(WStringView iconUrl, size_t index) const {
  if (index > kMaxIndex || folder_.empty() || !IsFetchable(iconUrl)) return {};
  const WString host = GetUrlHost(iconUrl);
  const char16_t digits[] = {static_cast<char16_t>(u'0' + index / 10), static_cast<char16_t>(u'0' + index % 10), 0};
  return folder_ + host + u"_sign" + digits;
}

bool AuthorityIconCache::Fetch(const WString& iconUrl, size_t index) const {
  const WString wide = PathFor(iconUrl, index);
  if (wide.empty()) return false;
  const std::string path = WideToUtf8(wide);
  uint64_t request = 0;
  {
    std::lock_guard lock(RequestsMutex());
    request = ++NewestRequests()[path];
  }
  static std::atomic<uint64_t> counter = 0;
  const std::string temporary = path + ".part" + std::to_string(getpid()) + "-" + std::to_string(++counter);
  if (!PictureDownload::ToFile(iconUrl, temporary, route_.For(iconUrl), nullptr)) return false;
  std::lock_guard lock(RequestsMutex());
  if (NewestRequests()[path] != request || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

bool AuthorityIconCache::FetchAsync(const WString& iconUrl, size_t index, Done done) const {
  const WString path = PathFor(iconUrl, index);
  if (path.empty()) return false;
  try {
    std::thread([cache = *this, iconUrl, index, path, done = std::move(done)] {
      if (cache.Fetch(iconUrl, index) && done) done(iconUrl, path);
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

bool AuthorityIconCache::FetchToMemoryAsync(const WString& iconUrl, BytesDone done) const {
  if (!IsFetchable(iconUrl)) return false;
  try {
    std::thread([route = route_, iconUrl, done = std::move(done)] {
      std::string bytes;
      if (!PictureDownload::ToMemory(iconUrl, bytes, route.For(iconUrl))) return;
      if (done) done(iconUrl, std::move(bytes));
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

}  // namespace tarvo
