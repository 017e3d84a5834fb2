#pragma once

#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

class QWebEnginePage;
class QWebEngineProfile;

namespace tarvo::cef {

// Switches the proxy the engine uses so that no later navigation goes the old way.
//
// The engine notices a new application proxy only when a request asks for its
// proxy, and that first request still goes the old way. So after setting the proxy
// the switcher sends a probe request of its own, to a loopback server it runs
// (loopback is never proxied, so the probe reaches nobody else); once the probe
// has completed every later request goes the new way. Until then the switch is
// "settling": EnginePage holds main-frame navigations back and releases them when
// it has settled.
//
// Called from the event loop, Apply waits for the probe itself. Called from inside
// an engine callback (the engine cannot run its own work in a nested loop there),
// it returns at once and the navigations that follow wait instead.
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

  // Applies the setting and starts the probe; outside engine callbacks also waits
  // (running the event loop) until it has settled. False with a reason when the
  // engine did not confirm within the time limit; the setting then stays, and
  // held navigations are released.
  bool Apply(const Setting& setting, QString* error);
  // True from a change until its probe has completed.
  bool settling() const { return settling_; }
  // Runs work once the switch has settled (at once when it is not settling).
  void WhenSettled(std::function<void()> work);
  // Loopback probes answered so far (tests check the switch really probed).
  int probes_answered() const { return probes_answered_; }

 private:
  void AnswerProbe();
  void StartProbe();
  void ProbeFinished();
  void Settle();

  QWebEngineProfile* profile_ = nullptr;  // non-owning: the engine's default profile
  QTcpServer probe_server_;
  QWebEnginePage* probe_page_ = nullptr;  // owned; made on first use
  QTimer probe_timeout_;
  int probe_serial_ = 0;
  int change_serial_ = 0;         // bumped by every Apply
  int probed_change_serial_ = 0;  // the change the running probe started after
  bool probing_ = false;
  bool settling_ = false;
  bool timed_out_ = false;
  int probes_answered_ = 0;
  std::vector<std::function<void()>> waiting_;
};

}  // namespace tarvo::cef
