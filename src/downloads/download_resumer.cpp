#include "downloads/download_resumer.h"

#include <filesystem>

#include "downloads/download_manager.h"
#include "downloads/resumed_transfer.h"
#include "downloads/validator_probe.h"

namespace tarvo {

DownloadResumer::DownloadResumer(DownloadManager& manager, VpnRoute route) : manager_(manager), route_(route) {
  manager_.SetIdleDriver(this);
}

DownloadResumer::~DownloadResumer() {
  StopAll();
  manager_.SetIdleDriver(nullptr);
}

void DownloadResumer::ResumeInterrupted() {
  for (const DownloadRecord& record : manager_.InterruptedRecords()) Start(record.id);
}

void DownloadResumer::ProbeValidator(const WString& url) {
  std::lock_guard lock(mutex_);
  if (stopping_) return;
  DownloadManager* manager = &manager_;
  probes_.emplace_back([manager, route = route_, url](std::stop_token stop) {
    const WString validator = ValidatorProbe::Fetch(url, route.For(url), stop);
    if (!stop.stop_requested()) manager->Validators().Set(url, validator);
  });
}

void DownloadResumer::OnStateRequested(int64_t id) {
  const std::optional<DownloadRecord> record = manager_.FindById(id);
  if (!record) return;
  {
    std::lock_guard lock(mutex_);
    ForgetFinishedLocked();
    if (auto running = workers_.find(id); running != workers_.end()) {
      running->second.attention->store(true);
      return;
    }
  }
  if (record->state == DownloadState::kResumeRequested) {
    Start(id);
  } else if (record->state == DownloadState::kCancelled) {
    // Nothing moves this download: its partial file goes now, as an engine's would.
    std::error_code error;
    std::filesystem::remove(std::filesystem::path(WideToUtf8(record->workingPath)), error);
    manager_.ApplyReport({id, record->url, 0, record->received, record->total, false, true});
  }
}

void DownloadResumer::Start(int64_t id) {
  std::lock_guard lock(mutex_);
  ForgetFinishedLocked();
  if (stopping_ || workers_.count(id) != 0 || !manager_.Adopt(id, this)) return;
  const std::optional<DownloadRecord> record = manager_.FindById(id);
  if (!record) return;
  Worker& worker = workers_[id];
  DownloadManager* manager = &manager_;
  worker.thread = std::jthread([manager, route = route_, record = *record, attention = worker.attention,
                                finished = worker.finished](std::stop_token stop) {
    DownloadRecord current = record;
    // A "continue" that came while the transfer was stopping for a pause finds it
    // still here; the paused report has then made the record run again.
    while (ResumedTransfer(*manager, current, route.For(current.url), stop, attention).Run() ==
           ResumedTransfer::Outcome::kPaused) {
      const std::optional<DownloadRecord> now = manager->FindById(current.id);
      if (!now || now->state == DownloadState::kPaused || stop.stop_requested()) break;
      current = *now;
    }
    finished->store(true);
  });
}

void DownloadResumer::StopAll() {
  std::map<int64_t, Worker> workers;
  std::vector<std::jthread> probes;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    workers.swap(workers_);
    probes.swap(probes_);
  }
  for (auto& [id, worker] : workers) worker.thread.request_stop();
  for (std::jthread& probe : probes) probe.request_stop();
  for (auto& [id, worker] : workers) worker.thread.join();
  for (std::jthread& probe : probes) probe.join();
  // Stopped: what is asked from now on runs again (a browser started anew).
  std::lock_guard lock(mutex_);
  stopping_ = false;
}

size_t DownloadResumer::RunningCount() {
  std::lock_guard lock(mutex_);
  ForgetFinishedLocked();
  return workers_.size();
}

void DownloadResumer::ForgetFinishedLocked() {
  for (auto it = workers_.begin(); it != workers_.end();) {
    it = it->second.finished->load() ? workers_.erase(it) : std::next(it);
  }
}

}  // namespace tarvo
