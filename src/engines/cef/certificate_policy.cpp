#include "engines/cef/certificate_policy.h"

#include <QUrl>

namespace tarvo::cef {

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
  return accept_ && accept_(url.toString().toStdString());
}

}  // namespace tarvo::cef
