#include "downloads/download_manager.h"

#include <algorithm>
#include <filesystem>

#include "downloads/i_download_desktop.h"
#include "downloads/i_download_driver.h"
#include "downloads/i_download_prompts.h"
#include "store/download_records.h"

namespace tarvo {

namespace {

namespace fs = std::filesystem;

constexpr char16_t kWorkingSuffix[] = u".tmp";

fs::path PathOf(const WString& path) { return fs::path(WideToUtf8(path)); }

bool FileExists(const WString& path) {
  std::error_code error;
  return !path.empty() && fs::is_regular_file(PathOf(path), error);
}

bool RemoveFile(const WString& path) {
  std::error_code error;
  return !path.empty() && fs::remove(PathOf(path), error);
}

WString FileNameOf(const WString& path) {
  const size_t slash = path.find_last_of(u"/\\");
  return slash == WString::npos ? path : path.substr(slash + 1);
}

// The path the user chose for a stored download. The table keeps the file written
// (the chosen path, or it plus ".tmp" until the rename) and the chosen name, so the
// chosen path is the file's folder and that name: a download whose own name ends in
// ".tmp" is not mistaken for a working file. A row without a name that fits falls
// back to the file written without its suffix.
WString ChosenPathOf(const DownloadRow& row) {
  const WString& written = row.filePath;
  const size_t slash = written.find_last_of(u"/\\");
  const WString chosen = (slash == WString::npos ? WString() : written.substr(0, slash + 1)) + row.fileName;
  if (!row.fileName.empty() && (written == chosen || written == chosen + kWorkingSuffix)) return chosen;
  const WString suffix = kWorkingSuffix;
  return written.ends_with(suffix) ? written.substr(0, written.size() - suffix.size()) : written;
}

DownloadRecord FromRow(const DownloadRow& row) {
  DownloadRecord record;
  record.state = row.status;
  record.id = row.orderKey;
  record.received = row.received;
  record.total = row.total;
  record.url = row.fileUrl;
  record.workingPath = row.filePath;
  record.fileName = row.fileName;
  record.finalPath = ChosenPathOf(row);
  // A complete download still under its working name was never renamed.
  if (record.state == DownloadState::kComplete && record.workingPath != record.finalPath) {
    record.problem = DownloadRecord::Problem::kRenameFailed;
  }
  return record;
}

}  // namespace

DownloadManager::DownloadManager(UserDatabase& database) : database_(database), validators_(database) {
  std::vector<DownloadRow> rows;
  DownloadRecords(database_).ListDownloads(rows);
  // The list keeps the newest download last; the table reads newest first.
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    records_.push_back(FromRow(*it));
  }
}

void DownloadManager::SetChangeListener(std::function<void()> listener) {
  Lock lock(mutex_);
  changed_ = std::move(listener);
}

void DownloadManager::SetDesktop(IDownloadDesktop* desktop) { desktop_ = desktop; }

void DownloadManager::SetIdleDriver(IDownloadDriver* driver) {
  Lock lock(mutex_);
  idleDriver_ = driver;
}

std::vector<DownloadRecord> DownloadManager::Records() const {
  Lock lock(mutex_);
  return records_;
}

std::optional<DownloadRecord> DownloadManager::FindById(int64_t id) const {
  Lock lock(mutex_);
  auto found = std::find_if(records_.begin(), records_.end(), [id](const auto& record) { return record.id == id; });
  return found == records_.end() ? std::nullopt : std::optional<DownloadRecord>(*found);
}

WString DownloadManager::BeginDownload(int64_t id, const WString& url, const WString& suggestedName,
                                       IDownloadPrompts& prompts, IDownloadDriver* driver, bool unrecorded) {
  std::optional<DownloadRecord> earlier;
  {
    Lock lock(mutex_);
    if (DownloadRecord* found = FindByUrlLocked(url, unrecorded); found != nullptr && found->id != id) {
      earlier = *found;
    }
  }
  if (earlier) {
    // A paused download is still running: dropping its record would leave the
    // driver holding a partial file nobody can reach.
    if (DownloadState::IsRunning(earlier->state)) {
      prompts.TellAlreadyDownloading(*earlier);
      return WString();
    }
    if (earlier->state == DownloadState::kComplete && !prompts.ConfirmReplace(*earlier)) return WString();
    RemoveRecord(earlier->id);
  }
  const WString chosen = prompts.ChooseTarget(suggestedName);
  if (chosen.empty()) return WString();
  const WString working = chosen + kWorkingSuffix;
  AddOrReplace(id, url, working, chosen, FileNameOf(chosen), driver, unrecorded);
  return working;
}

void DownloadManager::AddOrReplace(int64_t id, const WString& url, const WString& workingPath,
                                   const WString& finalPath, const WString& fileName, IDownloadDriver* driver,
                                   bool unrecorded) {
  {
    Lock lock(mutex_);
    DownloadRecord* record = FindLocked(id);
    if (record != nullptr && record->unrecorded != unrecorded) record = nullptr;
    if (record == nullptr) record = FindByUrlLocked(url, unrecorded);
    if (record == nullptr) record = &records_.emplace_back();
    drivers_.erase(record->id);
    record->id = id;
    record->url = url;
    record->workingPath = workingPath;
    record->finalPath = finalPath;
    record->fileName = fileName;
    record->state = DownloadState::kDownloading;
    record->problem = DownloadRecord::Problem::kNone;
    record->unrecorded = unrecorded;
    if (driver != nullptr) drivers_[id] = driver;
    SaveLocked(*record);
  }
  Changed();
}

DownloadAction DownloadManager::ApplyReport(const DownloadReport& report) {
  DownloadAction action = DownloadAction::kNone;
  {
    Lock lock(mutex_);
    DownloadRecord* record = FindLocked(report.id);
    if (record == nullptr || record->state == DownloadState::kComplete) return DownloadAction::kNone;
    action = ActionFor(record->state);
    // A requested resume is on its way to the driver: the download runs again.
    int state = action == DownloadAction::kResume ? DownloadState::kDownloading : record->state;
    if (report.complete) {
      // The driver finished before it heard of a cancel: the file is whole, keep it.
      state = DownloadState::kComplete;
      action = DownloadAction::kNone;
    } else if (report.ended || report.retryable) {
      const bool cancelled = state == DownloadState::kCancelled;
      if (!cancelled) record->problem = report.failure;
      // A failure that kept its bytes waits, paused, for the user's "continue".
      state = report.retryable && !cancelled ? DownloadState::kPaused : DownloadState::kCancelled;
      action = DownloadAction::kNone;
      drivers_.erase(report.id);
    }
    UpdateProgressLocked(report, state, report.complete);
  }
  Changed();
  return action;
}

DownloadAction DownloadManager::ActionFor(int state) {
  switch (state) {
    case DownloadState::kCancelled:
      return DownloadAction::kCancel;
    case DownloadState::kPaused:
      return DownloadAction::kPause;
    case DownloadState::kComplete:
      return DownloadAction::kNone;
    default:
      return DownloadAction::kResume;
  }
}

bool DownloadManager::Adopt(int64_t id, IDownloadDriver* driver) {
  Lock lock(mutex_);
  if (FindLocked(id) == nullptr) return false;
  drivers_[id] = driver;
  return true;
}

std::vector<DownloadRecord> DownloadManager::InterruptedRecords() const {
  Lock lock(mutex_);
  std::vector<DownloadRecord> interrupted;
  for (const DownloadRecord& record : records_) {
    const bool running = record.state == DownloadState::kDownloading || record.state == DownloadState::kResumeRequested;
    if (running && drivers_.count(record.id) == 0) interrupted.push_back(record);
  }
  return interrupted;
}

void DownloadManager::SetPausable(int64_t id, bool pausable) {
  {
    Lock lock(mutex_);
    DownloadRecord* record = FindLocked(id);
    if (record == nullptr || record->pausable == pausable) return;
    record->pausable = pausable;
  }
  Changed();
}

void DownloadManager::TogglePause(int64_t id) {
  {
    Lock lock(mutex_);
    DownloadRecord* record = FindLocked(id);
    if (record == nullptr || !DownloadState::IsRunning(record->state) || !record->pausable) return;
    record->state = record->state == DownloadState::kPaused ? DownloadState::kResumeRequested : DownloadState::kPaused;
    // Continued: a failure it was waiting after is tried again.
    if (record->state == DownloadState::kResumeRequested) record->problem = DownloadRecord::Problem::kNone;
    SaveLocked(*record);
  }
  NotifyDriver(id);
  Changed();
}

int DownloadManager::RequestCancel(int64_t id) {
  {
    Lock lock(mutex_);
    DownloadRecord* record = FindLocked(id);
    if (record == nullptr) return -1;
    if (record->state != DownloadState::kComplete) {
      record->state = DownloadState::kCancelled;
      SaveLocked(*record);
    }
  }
  NotifyDriver(id);
  Changed();
  return 0;
}

void DownloadManager::RemoveRecord(int64_t id) {
  {
    Lock lock(mutex_);
    RemoveLocked(id);
  }
  Changed();
}

void DownloadManager::ForgetUnrecorded() {
  std::vector<int64_t> unrecorded;
  std::vector<int64_t> running;
  {
    Lock lock(mutex_);
    for (const DownloadRecord& record : records_) {
      if (!record.unrecorded) continue;
      unrecorded.push_back(record.id);
      if (DownloadState::IsRunning(record.state)) running.push_back(record.id);
    }
  }
  // One still running ends now: left to finish, it would take its chosen name with
  // no list to show it, or stay a working file nobody can continue.
  for (int64_t id : running) RequestCancel(id);
  {
    Lock lock(mutex_);
    for (int64_t id : unrecorded) RemoveLocked(id);
  }
  Changed();
}

void DownloadManager::ClearFinished() {
  {
    Lock lock(mutex_);
    std::vector<int64_t> finished;
    for (const DownloadRecord& record : records_) {
      if (record.state == DownloadState::kComplete) finished.push_back(record.id);
    }
    for (int64_t id : finished) RemoveLocked(id);
  }
  Changed();
}

void DownloadManager::ClearStopped(bool deleteFiles) {
  {
    Lock lock(mutex_);
    std::vector<int64_t> stopped;
    for (const DownloadRecord& record : records_) {
      if (DownloadState::IsRunning(record.state)) continue;
      if (deleteFiles) RemoveFile(record.workingPath);
      stopped.push_back(record.id);
    }
    for (int64_t id : stopped) RemoveLocked(id);
  }
  Changed();
}

void DownloadManager::DeleteLeftovers() {
  Lock lock(mutex_);
  for (const DownloadRecord& record : records_) {
    // A complete download's file is the user's whatever it is called, even one that
    // could not take its chosen name; only the working file of a download that
    // ended unfinished is a leftover.
    const bool ended = !DownloadState::IsRunning(record.state) && record.state != DownloadState::kComplete;
    const bool working = !record.finalPath.empty() && record.workingPath == record.finalPath + kWorkingSuffix;
    if (ended && working) RemoveFile(record.workingPath);
  }
}

bool DownloadManager::ShowInFolder(int64_t id, WString& path) {
  return WithExistingFile(id, path, [this](const WString& file) { return desktop_ && desktop_->ShowInFolder(file); });
}

bool DownloadManager::OpenFile(int64_t id, WString& path) {
  return WithExistingFile(id, path, [this](const WString& file) { return desktop_ && desktop_->Open(file); });
}

bool DownloadManager::DeleteFileOf(int64_t id, WString& path) {
  const bool existed = WithExistingFile(id, path, [](const WString& file) { return RemoveFile(file); });
  RemoveRecord(id);
  return existed;
}

bool DownloadManager::WithExistingFile(int64_t id, WString& path, const std::function<bool(const WString&)>& work) {
  const std::optional<DownloadRecord> record = FindById(id);
  path = record ? record->workingPath : WString();
  if (!FileExists(path)) return false;
  work(path);
  return true;
}

DownloadRecord* DownloadManager::FindLocked(int64_t id) {
  auto found = std::find_if(records_.begin(), records_.end(), [id](const auto& record) { return record.id == id; });
  return found == records_.end() ? nullptr : &*found;
}

DownloadRecord* DownloadManager::FindByUrlLocked(const WString& url, bool unrecorded) {
  auto found = std::find_if(records_.begin(), records_.end(),
                            [&](const auto& record) { return record.url == url && record.unrecorded == unrecorded; });
  return found == records_.end() ? nullptr : &*found;
}

void DownloadManager::SaveLocked(const DownloadRecord& record) {
  if (record.unrecorded) return;
  DownloadRecords(database_).SaveDownload(
      {record.url, record.workingPath, record.fileName, record.received, record.total, record.state, 0});
}

void DownloadManager::RemoveLocked(int64_t id) {
  auto found = std::find_if(records_.begin(), records_.end(), [id](const auto& record) { return record.id == id; });
  if (found == records_.end()) return;
  savedAt_.erase(id);
  if (!found->unrecorded) {
    DownloadRecords(database_).DeleteDownload({found->url, {}, {}, 0, 0, 0, 0});
    validators_.Remove(found->url);
  }
  drivers_.erase(id);
  records_.erase(found);
}

void DownloadManager::UpdateProgressLocked(const DownloadReport& report, int state, bool finished) {
  auto found = std::find_if(records_.begin(), records_.end(),
                            [&](const auto& record) { return record.id == report.id && record.url == report.url; });
  if (found == records_.end()) {
    DownloadRecord& added = records_.emplace_back();
    added.id = report.id;
    added.url = report.url;
    found = records_.end() - 1;
  }
  const bool changed = found->state != state || finished;
  found->speed = report.speed;
  found->received = report.received;
  found->total = report.total;
  found->state = state;
  if (finished) {
    drivers_.erase(found->id);
    RenameFinishedLocked(*found);
  }
  // Every write waits for the disk, and reports come several times a second per
  // download on the interface thread: amounts alone are written now and then (a
  // download taken up later measures its file anyway), changes of state at once.
  const auto now = std::chrono::steady_clock::now();
  auto& saved = savedAt_[found->id];
  if (changed || now - saved >= kAmountsSaveInterval) {
    saved = now;
    SaveLocked(*found);
  }
}

void DownloadManager::RenameFinishedLocked(DownloadRecord& record) {
  if (record.workingPath == record.finalPath || record.finalPath.empty()) return;
  std::error_code error;
  // The driver has closed the file: the move is immediate and replaces a file the
  // user agreed to overwrite in the save dialog.
  fs::rename(PathOf(record.workingPath), PathOf(record.finalPath), error);
  if (error) {
    record.problem = DownloadRecord::Problem::kRenameFailed;
    return;
  }
  record.workingPath = record.finalPath;
}

void DownloadManager::Changed() {
  std::function<void()> listener;
  {
    Lock lock(mutex_);
    listener = changed_;
  }
  if (listener) listener();
}

void DownloadManager::NotifyDriver(int64_t id) {
  IDownloadDriver* driver = nullptr;
  {
    Lock lock(mutex_);
    auto found = drivers_.find(id);
    driver = found != drivers_.end() ? found->second : idleDriver_;
  }
  if (driver != nullptr) driver->OnStateRequested(id);
}

}  // namespace tarvo
