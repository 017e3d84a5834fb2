#include "preferences/windows/default_browser_probe.h"

#include "update/default_browser.h"

namespace tarvo {

DefaultBrowserProbe::DefaultBrowserProbe() {
  limit_.setSingleShot(true);
  limit_.callOnTimeout([this] { Finish(Answer::kUnknown); });
}

DefaultBrowserProbe::~DefaultBrowserProbe() { Drop(false); }

void DefaultBrowserProbe::Ask(std::function<void(Answer)> done) {
  Drop(true);
  done_ = std::move(done);
  process_ = std::make_unique<QProcess>();
  process_->setProgram(QStringLiteral("xdg-settings"));
  process_->setArguments({QStringLiteral("get"), QStringLiteral("default-web-browser")});
  process_->setStandardErrorFile(QProcess::nullDevice());
  QProcess* process = process_.get();
  QObject::connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), process,
                   [this, process](int exitCode, QProcess::ExitStatus status) {
                     Finish(status == QProcess::NormalExit ? FromOutput(exitCode, process->readAllStandardOutput())
                                                           : Answer::kUnknown);
                   });
  QObject::connect(process, &QProcess::errorOccurred, process, [this](QProcess::ProcessError error) {
    // A program that did not start never finishes; one that crashed has finished.
    if (error == QProcess::FailedToStart) Finish(Answer::kUnknown);
  });
  limit_.start(kLimitMs);
  process_->start();
}

DefaultBrowserProbe::Answer DefaultBrowserProbe::FromOutput(int exitCode, const QByteArray& output) {
  const QByteArray entry = output.trimmed();
  if (exitCode != 0 || entry.isEmpty()) return Answer::kUnknown;
  return entry == DefaultBrowser::kDesktopEntry ? Answer::kYes : Answer::kNo;
}

void DefaultBrowserProbe::Finish(Answer answer) {
  const std::function<void(Answer)> done = std::move(done_);
  Drop(true);
  if (done) done(answer);
}

void DefaultBrowserProbe::Drop(bool later) {
  done_ = nullptr;
  limit_.stop();
  if (process_ == nullptr) return;
  process_->disconnect();
  if (process_->state() != QProcess::NotRunning) {
    process_->kill();
    process_->waitForFinished(1000);
  }
  if (later) {
    process_.release()->deleteLater();
  } else {
    process_.reset();
  }
}

}  // namespace tarvo
