#include "engines/ie/compat_network.h"

#include <QDir>
#include <QNetworkCookieJar>
#include <QWebSettings>

#include "engines/ie/persistent_cookie_jar.h"
#include "engines/ie/system_proxy_factory.h"

namespace tarvo::ie {

CompatNetwork::CompatNetwork(const QString& cookie_folder) {
  QDir().mkpath(cookie_folder);
  jar_ = new PersistentCookieJar(QDir(cookie_folder).filePath(QLatin1String(kCookieFileName)), &manager_);
  manager_.setCookieJar(jar_);
  manager_.setProxyFactory(new SystemProxyFactory);
}

CompatNetwork::CompatNetwork() {
  manager_.setCookieJar(new QNetworkCookieJar(&manager_));
  manager_.setProxyFactory(new SystemProxyFactory);
}

void CompatNetwork::ClearCaches() {
  QWebSettings::clearMemoryCaches();
  manager_.clearAccessCache();
}

CompatNetwork::~CompatNetwork() {
  if (jar_ != nullptr) {
    jar_->Save();
  }
}

}  // namespace tarvo::ie
