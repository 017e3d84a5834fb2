#include "engines/ie/compat_download_handler.h"

#include "downloads/download_manager.h"

namespace tarvo {

CompatDownloadHandler::CompatDownloadHandler(DownloadManager& manager, IDownloadPrompts& prompts,
                                             StartedCallback started)
    : manager_(manager), prompts_(prompts), started_(std::move(started)) {}

QString CompatDownloadHandler::Begin(ie::CompatDownload& download, const QString& suggestedName, bool privateProfile) {
  const int64_t id = nextId_++;
  const WString url = download.Url().toStdU16String();
  const WString working =
      manager_.BeginDownload(id, url, suggestedName.toStdU16String(), prompts_, this, privateProfile);
  if (working.empty()) return QString();
  manager_.SetPausable(id, false);
  running_[&download] = Running{id, std::chrono::steady_clock::now(), 0, 0};
  byId_[id] = &download;
  if (started_) started_(download.PageWindow(), url, privateProfile);
  return QString::fromStdU16String(working);
}

void CompatDownloadHandler::Progress(ie::CompatDownload& download, int64_t received, int64_t total) {
  const auto found = running_.find(&download);
  if (found == running_.end()) return;
  Running& running = found->second;
  const auto now = std::chrono::steady_clock::now();
  if (const auto elapsed = std::chrono::duration<double>(now - running.measured).count(); elapsed >= 1.0) {
    running.speed = static_cast<int64_t>(static_cast<double>(received - running.measuredBytes) / elapsed);
    running.measured = now;
    running.measuredBytes = received;
  }
  const DownloadAction action = manager_.ApplyReport(
      {running.id, download.Url().toStdU16String(), running.speed, received, total, false, false});
  if (action == DownloadAction::kCancel) download.Cancel();
}

void CompatDownloadHandler::Finished(ie::CompatDownload& download, bool complete) {
  const auto found = running_.find(&download);
  if (found == running_.end()) return;
  const int64_t id = found->second.id;
  running_.erase(found);
  byId_.erase(id);
  const std::optional<DownloadRecord> record = manager_.FindById(id);
  const int64_t received = record ? record->received : 0;
  const int64_t total = complete ? received : (record ? record->total : 0);
  manager_.ApplyReport({id, download.Url().toStdU16String(), 0, received, total, complete, !complete});
}

void CompatDownloadHandler::OnStateRequested(int64_t id) {
  const auto found = byId_.find(id);
  const std::optional<DownloadRecord> record = manager_.FindById(id);
  if (found == byId_.end() || !record) return;
  if (DownloadManager::ActionFor(record->state) == DownloadAction::kCancel) found->second->Cancel();
}

}  // namespace tarvo
