#include "engines/cef/proxy_switcher.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QTcpSocket>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace tarvo::cef {

namespace {
constexpr int kProbeTimeoutMs = 10000;
}  // namespace

std::optional<ProxySwitcher::Setting> ProxySwitcher::Parse(const QString& mode, const QString& server,
                                                           QString* error) {
  Setting setting;
  if (mode.isEmpty() && server.isEmpty()) {
    return setting;
  }
  if (mode == QLatin1String("system")) {
    return setting;
  }
  if (mode == QLatin1String("direct")) {
    setting.mode = Mode::kDirect;
    return setting;
  }
  if (mode != QLatin1String("fixed_servers")) {
    *error = QStringLiteral("unsupported proxy mode \"%1\"").arg(mode);
    return std::nullopt;
  }
  QString address = server.trimmed();
  if (address.startsWith(QLatin1String("http://"))) {
    address = address.mid(7);
  }
  const int colon = address.lastIndexOf(QLatin1Char(':'));
  bool port_ok = false;
  const uint port = colon > 0 ? address.mid(colon + 1).toUInt(&port_ok) : 0;
  const QString host = colon > 0 ? address.left(colon) : QString();
  const bool host_ok = !host.isEmpty() && !host.contains(QLatin1Char(' ')) && !host.contains(QLatin1Char('/'));
  if (!port_ok || port == 0 || port > 65535 || !host_ok) {
    *error = QStringLiteral("proxy server \"%1\" is not host:port").arg(server);
    return std::nullopt;
  }
  setting.mode = Mode::kFixedServer;
  setting.host = host;
  setting.port = static_cast<quint16>(port);
  return setting;
}

ProxySwitcher::ProxySwitcher(QWebEngineProfile* profile) : profile_(profile) {
  connect(&probe_server_, &QTcpServer::newConnection, this, &ProxySwitcher::AnswerProbe);
  probe_server_.listen(QHostAddress::LocalHost, 0);
}

ProxySwitcher::~ProxySwitcher() { delete probe_page_; }

void ProxySwitcher::AnswerProbe() {
  while (QTcpSocket* socket = probe_server_.nextPendingConnection()) {
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
      if (!socket->readAll().contains("\r\n\r\n")) {
        return;
      }
      ++probes_answered_;
      socket->write("HTTP/1.1 204 No Content\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
      socket->disconnectFromHost();
    });
  }
}

bool ProxySwitcher::Apply(const Setting& setting, QString* error) {
  switch (setting.mode) {
    case Mode::kSystem:
      QNetworkProxyFactory::setUseSystemConfiguration(true);
      break;
    case Mode::kDirect:
      QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
      break;
    case Mode::kFixedServer:
      QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, setting.host, setting.port));
      break;
  }
  if (!probe_server_.isListening()) {
    *error = QStringLiteral("proxy probe server is not listening: %1").arg(probe_server_.errorString());
    return false;
  }
  if (probe_page_ == nullptr) {
    probe_page_ = new QWebEnginePage(profile_);
  }
  QEventLoop loop;
  bool finished = false;
  const auto connection = connect(probe_page_, &QWebEnginePage::loadFinished, &loop, [&] {
    finished = true;
    loop.quit();
  });
  QTimer::singleShot(kProbeTimeoutMs, &loop, &QEventLoop::quit);
  const QString url = QStringLiteral("http://127.0.0.1:%1/proxy-probe/%2")
                          .arg(probe_server_.serverPort())
                          .arg(++probe_serial_);
  probe_page_->load(QUrl(url));
  if (!finished) {
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  disconnect(connection);
  if (!finished) {
    *error = QStringLiteral("the engine did not confirm the proxy change in time");
    return false;
  }
  return true;
}

}  // namespace tarvo::cef
