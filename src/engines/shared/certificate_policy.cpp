#include "engines/shared/certificate_policy.h"

#include <QUrl>

namespace tarvo {

namespace {

int DefaultPort(const QString& scheme) {
  if (scheme == QLatin1String("https") || scheme == QLatin1String("wss")) {
    return 443;
  }
  return scheme == QLatin1String("http") || scheme == QLatin1String("ws") ? 80 : -1;
}

// Same scheme, host and port as the engine reads them: the host is the one after
// any user-info, decoded and lower-cased, IPv6 literals without brackets.
bool SameOrigin(const QUrl& address, const QUrl& mirror) {
  if (!address.isValid() || !mirror.isValid() || address.host().isEmpty()) {
    return false;
  }
  const int port = DefaultPort(address.scheme());
  return address.scheme() == mirror.scheme() && address.host() == mirror.host() &&
         address.port(port) == mirror.port(port);
}

}  // namespace

bool CertificatePolicy::AcceptError(const QUrl& url, bool overridable) {
  if (!overridable || !Ask(url)) {
    return false;
  }
  accepted_hosts_.insert(url.host());
  return true;
}

bool CertificatePolicy::MayRequest(const QUrl& url) const {
  const bool secure = url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("wss");
  if (!secure || !accepted_hosts_.contains(url.host())) {
    return true;
  }
  return Ask(url);
}

bool CertificatePolicy::Ask(const QUrl& url) const {
  if (!mirror_for_) {
    return false;
  }
  // The lookup reads hosts from text; without user-info it reads the host the
  // engine connects to. Its answer counts only when it names that very origin.
  const QUrl address = url.adjusted(QUrl::RemoveUserInfo);
  const std::string mirror = mirror_for_(address.toString(QUrl::FullyEncoded).toStdString());
  return !mirror.empty() && SameOrigin(address, QUrl(QString::fromStdString(mirror), QUrl::StrictMode));
}

}  // namespace tarvo
