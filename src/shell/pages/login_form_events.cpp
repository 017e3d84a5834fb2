#include "shell/pages/login_form_events.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace tarvo {

namespace {

// scheme://host[:port] of a web address (default ports left out); empty otherwise.
QString WebOrigin(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) || url.host().isEmpty()) return {};
  const int port = url.port(scheme == QLatin1String("https") ? 443 : 80);
  const bool usual = port == (scheme == QLatin1String("https") ? 443 : 80);
  QString origin = scheme + QStringLiteral("://") + url.host(QUrl::FullyEncoded).toLower();
  if (!usual) origin += QLatin1Char(':') + QString::number(port);
  return origin;
}

// Scripts send numbers as doubles; anything beyond a screen's range is no rectangle.
int Coordinate(const QJsonValue& value) {
  const double number = value.toDouble();
  return number > -100000 && number < 100000 ? static_cast<int>(number) : 0;
}

}  // namespace

void LoginFormEvents::Receive(Page& page, ILoginForms& forms, const QString& message, const QString& pageUrl) const {
  LoginFormReport report;
  if (listener_ != nullptr && Parse(message, pageUrl, report)) listener_->OnLoginForm(page, forms, report);
}

bool LoginFormEvents::Parse(const QString& message, const QString& pageUrl, LoginFormReport& report) {
  const QJsonObject object = QJsonDocument::fromJson(message.toUtf8()).object();
  const QString type = object.value(QStringLiteral("type")).toString();
  if (type == QLatin1String("seen")) {
    report.kind = LoginFormReport::Kind::kSeen;
  } else if (type == QLatin1String("focus")) {
    report.kind = LoginFormReport::Kind::kFocused;
  } else if (type == QLatin1String("sent")) {
    report.kind = LoginFormReport::Kind::kSent;
  } else {
    return false;
  }
  // The script names its frame's origin; only the page's own counts, whatever a
  // frame of another origin might claim.
  const QString pageOrigin = WebOrigin(QUrl(pageUrl));
  const QString frameOrigin = WebOrigin(QUrl(object.value(QStringLiteral("origin")).toString()));
  if (pageOrigin.isEmpty() || frameOrigin != pageOrigin) return false;
  report.document = object.value(QStringLiteral("document")).toString();
  report.frameOrigin = frameOrigin.toStdU16String();
  report.mainFrame = object.value(QStringLiteral("main")).toBool();
  report.formId = object.value(QStringLiteral("form")).toInt();
  report.loginForms = object.value(QStringLiteral("forms")).toInt();
  report.visible = object.value(QStringLiteral("visible")).toBool();
  const QJsonArray field = object.value(QStringLiteral("field")).toArray();
  if (field.size() == 4) {
    report.field = QRect(Coordinate(field[0]), Coordinate(field[1]), Coordinate(field[2]), Coordinate(field[3]));
  }
  report.username = object.value(QStringLiteral("username")).toString().toStdU16String();
  report.password = object.value(QStringLiteral("password")).toString().toStdU16String();
  return report.formId > 0;
}

}  // namespace tarvo
