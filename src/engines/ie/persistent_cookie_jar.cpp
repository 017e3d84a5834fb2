#include "engines/ie/persistent_cookie_jar.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkCookie>
#include <QSaveFile>

namespace tarvo::ie {

PersistentCookieJar::PersistentCookieJar(QString file_path, QObject* parent)
    : QNetworkCookieJar(parent), file_path_(std::move(file_path)) {
  Load();
}

void PersistentCookieJar::Load() {
  QFile file(file_path_);
  if (!file.open(QIODevice::ReadOnly)) {
    return;
  }
  const QDateTime now = QDateTime::currentDateTimeUtc();
  QList<QNetworkCookie> cookies;
  while (!file.atEnd()) {
    const QByteArray line = file.readLine().trimmed();
    for (const QNetworkCookie& cookie : QNetworkCookie::parseCookies(line)) {
      if (!cookie.isSessionCookie() && cookie.expirationDate() > now && !cookie.domain().isEmpty()) {
        cookies.append(cookie);
      }
    }
  }
  setAllCookies(cookies);
}

bool PersistentCookieJar::Save() const {
  QDir().mkpath(QFileInfo(file_path_).absolutePath());
  QSaveFile file(file_path_);
  if (!file.open(QIODevice::WriteOnly)) {
    return false;
  }
  const QDateTime now = QDateTime::currentDateTimeUtc();
  for (const QNetworkCookie& cookie : allCookies()) {
    if (!cookie.isSessionCookie() && cookie.expirationDate() > now) {
      file.write(cookie.toRawForm(QNetworkCookie::Full) + "\n");
    }
  }
  return file.commit();
}

bool PersistentCookieJar::Clear() {
  setAllCookies({});
  return Save();
}

bool PersistentCookieJar::setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) {
  const bool changed = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
  if (changed) {
    Save();
  }
  return changed;
}

bool PersistentCookieJar::deleteCookie(const QNetworkCookie& cookie) {
  const bool deleted = QNetworkCookieJar::deleteCookie(cookie);
  if (deleted) {
    Save();
  }
  return deleted;
}

}  // namespace tarvo::ie
