#pragma once
// Asks the desktop, without waiting for it, whether this browser is the default web
// browser ("xdg-settings get default-web-browser" names the default's desktop entry).
// A desktop that cannot tell (no xdg-settings, no answer in kLimitMs) gives kUnknown.
//
// GUI thread only: the answer comes through the event loop. Destroying the probe
// stops a question still running and drops its answer.
#include <QProcess>
#include <QTimer>
#include <functional>
#include <memory>

namespace tarvo {

class DefaultBrowserProbe {
 public:
  enum class Answer { kYes, kNo, kUnknown };
  static constexpr int kLimitMs = 5000;

  DefaultBrowserProbe();
  ~DefaultBrowserProbe();
  DefaultBrowserProbe(const DefaultBrowserProbe&) = delete;
  DefaultBrowserProbe& operator=(const DefaultBrowserProbe&) = delete;

  // Starts a question; `done` gets the answer once. A question still running is
  // dropped first.
  void Ask(std::function<void(Answer)> done);
  bool Asking() const { return process_ != nullptr; }

  // The answer in xdg-settings' output: yes when it names this browser's desktop
  // entry.
  static Answer FromOutput(int exitCode, const QByteArray& output);

 private:
  void Finish(Answer answer);
  // Forgets the question, killing its process; `later`: the process object may be
  // the sender of the signal being handled, so it goes once control is back in the
  // event loop.
  void Drop(bool later);

  std::unique_ptr<QProcess> process_;
  QTimer limit_;
  std::function<void(Answer)> done_;
};

}  // namespace tarvo
