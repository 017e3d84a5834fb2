#pragma once

#include <QObject>
#include <QString>
#include <QTcpServer>
#include <optional>

class QWebEnginePage;
class QWebEngineProfile;

namespace tarvo::cef {

// Switches the proxy the engine uses, and returns only once the engine has taken
// the change in.
//
// The engine notices a new application proxy only when a request asks for its
// proxy, and that first request still goes the old way. So after setting the proxy
// the switcher sends a probe request of its own, to a loopback server it runs
// (loopback is never proxied, so the probe reaches nobody else), and waits for it:
// every later request then goes the new way.
// Lifetime: owned by EngineContext; ends at CefShutdown.
// Threads: GUI thread only.
class ProxySwitcher : public QObject {
  Q_OBJECT
 public:
  enum class Mode { kSystem, kDirect, kFixedServer };
  struct Setting {
    Mode mode = Mode::kSystem;
    QString host;
    quint16 port = 0;
  };

  // Reads the engine's proxy preference {"mode", "server"}: "fixed_servers" with
  // "host:port" (an http:// prefix is allowed), "direct", "system", or an empty
  // mode with an empty server (back to the system settings). Anything else gives
  // nullopt and a reason in error.
  static std::optional<Setting> Parse(const QString& mode, const QString& server, QString* error);

  explicit ProxySwitcher(QWebEngineProfile* profile);
  ~ProxySwitcher() override;

  // Applies the setting and waits (running the event loop) until the probe has
  // completed. False with a reason when the engine did not confirm within the
  // time limit; the new setting then stays but may apply one request late.
  bool Apply(const Setting& setting, QString* error);
  // Loopback probes answered so far (tests check the switch really probed).
  int probes_answered() const { return probes_answered_; }

 private:
  void AnswerProbe();

  QWebEngineProfile* profile_ = nullptr;  // non-owning: the engine's default profile
  QTcpServer probe_server_;
  QWebEnginePage* probe_page_ = nullptr;  // owned; made on first use
  int probe_serial_ = 0;
  int probes_answered_ = 0;
};

}  // namespace tarvo::cef
