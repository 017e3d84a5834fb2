#pragma once

#include <QNetworkCookieJar>
#include <QString>

namespace tarvo::ie {

// The compatibility engine's cookies, kept in one file in the cookie folder so they
// survive restarts (and go when the folder is emptied). Cookies with an expiry
// date are kept; session cookies end with the process, as the engine this layer
// stands in for handles them.
//
// File: one cookie per line in Set-Cookie form with its domain and path. Every
// change rewrites it (temporary file, then rename), so a crash never leaves half a
// file; unreadable lines are skipped on load.
// Threads: GUI thread (the network manager's thread).
class PersistentCookieJar : public QNetworkCookieJar {
  Q_OBJECT
 public:
  // Loads the file if it exists.
  PersistentCookieJar(QString file_path, QObject* parent);

  bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override;
  bool deleteCookie(const QNetworkCookie& cookie) override;
  // Writes the cookies that outlive the session; false when the file could not be
  // written (the cookies stay in memory).
  bool Save() const;
  // Forgets every cookie, session ones too, and writes the empty file. False when
  // the file could not be written.
  bool Clear();

 private:
  void Load();

  QString file_path_;
};

}  // namespace tarvo::ie
