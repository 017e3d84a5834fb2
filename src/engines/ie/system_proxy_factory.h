#pragma once

#include <QNetworkProxyFactory>

namespace tarvo::ie {

// Answers every proxy question with the operating system's settings, whatever
// proxy the application has set for the Chromium engine: the compatibility engine
// never goes through the VPN.
// Threads: any (stateless).
class SystemProxyFactory : public QNetworkProxyFactory {
 public:
  QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
    return QNetworkProxyFactory::systemProxyForQuery(query);
  }
};

}  // namespace tarvo::ie
