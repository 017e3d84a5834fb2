#pragma once

#include <QNetworkAccessManager>
#include <QString>

namespace tarvo::ie {

class PersistentCookieJar;

// The compatibility engine's network access, shared by all its views: the system
// proxy settings only, and the cookie jar file in the cookie folder.
// Lifetime: must outlive every WebBrowserControl made with it.
// Threads: GUI thread.
class CompatNetwork {
 public:
  // The name of the jar file inside the cookie folder.
  static constexpr const char* kCookieFileName = "compat_cookies.txt";

  // cookie_folder is created when missing.
  explicit CompatNetwork(const QString& cookie_folder);
  ~CompatNetwork();
  CompatNetwork(const CompatNetwork&) = delete;
  CompatNetwork& operator=(const CompatNetwork&) = delete;

  QNetworkAccessManager* manager() { return &manager_; }
  PersistentCookieJar* cookie_jar() const { return jar_; }
  // Drops the engine's memory caches (pages, pictures, scripts) and the log-ins and
  // connections the network remembers for the session.
  void ClearCaches();

 private:
  QNetworkAccessManager manager_;
  PersistentCookieJar* jar_ = nullptr;  // owned by manager_
};

}  // namespace tarvo::ie
