#pragma once

#include <QNetworkAccessManager>
#include <QString>

namespace tarvo::ie {

class PersistentCookieJar;

// The compatibility engine's network access: the system proxy settings only, and
// either the cookie jar file in the cookie folder (shared by the ordinary windows'
// views) or, for a private window, cookies held in memory that go with the network.
// Lifetime: must outlive every WebBrowserControl made with it.
// Threads: GUI thread.
class CompatNetwork {
 public:
  // The name of the jar file inside the cookie folder.
  static constexpr const char* kCookieFileName = "compat_cookies.txt";

  // cookie_folder is created when missing.
  explicit CompatNetwork(const QString& cookie_folder);
  // A private network: cookies in memory only, nothing written anywhere; its pages
  // browse privately (no icons, history or storage of the engine's on disk).
  CompatNetwork();
  ~CompatNetwork();
  CompatNetwork(const CompatNetwork&) = delete;
  CompatNetwork& operator=(const CompatNetwork&) = delete;

  QNetworkAccessManager* manager() { return &manager_; }
  // The jar file's cookies; nullptr for a private network.
  PersistentCookieJar* cookie_jar() const { return jar_; }
  bool is_private() const { return jar_ == nullptr; }
  // Drops the engine's memory caches (pages, pictures, scripts) and the log-ins and
  // connections the network remembers for the session.
  void ClearCaches();

 private:
  QNetworkAccessManager manager_;
  PersistentCookieJar* jar_ = nullptr;  // owned by manager_
};

}  // namespace tarvo::ie
