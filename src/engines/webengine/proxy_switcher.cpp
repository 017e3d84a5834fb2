#include "engines/webengine/proxy_switcher.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QTcpSocket>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "engines/webengine/engine_context.h"

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
  probe_timeout_.setSingleShot(true);
  probe_timeout_.setInterval(kProbeTimeoutMs);
  connect(&probe_timeout_, &QTimer::timeout, this, [this] {
    timed_out_ = true;
    probing_ = false;
    Settle();
  });
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

void ProxySwitcher::StartProbe() {
  if (probing_ && probe_page_ != nullptr) {
    // The engine re-resolves a request in flight when the proxy changes under it,
    // which can hold that request for seconds; a fresh page probes the change at once.
    probe_page_->disconnect(this);
    probe_page_->deleteLater();
    probe_page_ = nullptr;
  }
  if (probe_page_ == nullptr) {
    probe_page_ = new QWebEnginePage(profile_);
    connect(probe_page_, &QWebEnginePage::loadFinished, this, &ProxySwitcher::ProbeFinished);
  }
  probing_ = true;
  probed_change_serial_ = change_serial_;
  probe_timeout_.start();
  const QString url = QStringLiteral("http://127.0.0.1:%1/proxy-probe/%2")
                          .arg(probe_server_.serverPort())
                          .arg(++probe_serial_);
  probe_page_->load(QUrl(url));
}

void ProxySwitcher::ProbeFinished() {
  if (!probing_) {
    return;
  }
  probing_ = false;
  probe_timeout_.stop();
  if (probed_change_serial_ != change_serial_) {
    // The proxy changed again while this probe ran; only a probe started after the
    // last change proves it.
    StartProbe();
    return;
  }
  Settle();
}

void ProxySwitcher::Settle() {
  settling_ = false;
  auto waiting = std::move(waiting_);
  waiting_.clear();
  for (auto& work : waiting) {
    work();
  }
}

void ProxySwitcher::WhenSettled(std::function<void()> work) {
  if (!settling_) {
    work();
    return;
  }
  waiting_.push_back(std::move(work));
}

bool ProxySwitcher::Apply(const Setting& setting, QString* error) {
  // Before the proxy: no document made once requests go through it is without the guard.
  EngineContext::Instance().webrtc_guard().SetGuarded(setting.mode == Mode::kFixedServer);
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
  ++change_serial_;
  settling_ = true;
  timed_out_ = false;
  StartProbe();
  if (EngineContext::Instance().in_engine_callback()) {
    return true;
  }
  QEventLoop loop;
  WhenSettled([&loop] { loop.quit(); });
  if (settling_) {
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  if (timed_out_) {
    *error = QStringLiteral("the engine did not confirm the proxy change in time");
    return false;
  }
  return true;
}

}  // namespace tarvo::cef
