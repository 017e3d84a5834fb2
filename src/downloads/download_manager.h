#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "downloads/download_record.h"
#include "downloads/download_report.h"
#include "downloads/download_validators.h"
#include "store/user_database.h"

namespace tarvo {

class IDownloadDesktop;
class IDownloadDriver;
class IDownloadPrompts;

// The list of downloads, newest last, mirrored into the download table on every
// change: how a download starts (the questions and the save dialog), how the
// engine's reports move it, the user's pause, continue and cancel requests, and what
// the window does with ended downloads (show, open, delete, clear).
//
// Threads: any. mutex_ guards the list; the drivers, the desktop and the change
// listener are called outside it. Drivers report from the GUI thread (the engine)
// and from worker threads (the resumer); the window acts on the GUI thread.
// Lifetime: start-up makes the browser's once the database is open; tests make their
// own.
class DownloadManager {
 public:
  // Records read from the database get this minus their row index as id.
  static constexpr int64_t kStoredIdBase = 0x7FFFFFFF;
  // How often a running download's amounts reach the table; its changes of state
  // are written at once.
  static constexpr std::chrono::seconds kAmountsSaveInterval{5};

  explicit DownloadManager(UserDatabase& database);
  DownloadManager(const DownloadManager&) = delete;
  DownloadManager& operator=(const DownloadManager&) = delete;

  // Called after every change of the list, from the thread that made it.
  void SetChangeListener(std::function<void()> listener);
  // Non-owning; null removes. The desktop shows and opens files; the idle driver
  // takes up stored downloads the user continues (they have no driver of their own).
  void SetDesktop(IDownloadDesktop* desktop);
  void SetIdleDriver(IDownloadDriver* driver);

  // Copies, in list order (oldest first; the window shows them the other way round).
  std::vector<DownloadRecord> Records() const;
  std::optional<DownloadRecord> FindById(int64_t id) const;
  DownloadValidators& Validators() { return validators_; }

  // A download of `url` wants to start: the earlier entry of the URL is looked at
  // (a finished one is replaced only when the user agrees, a running or paused one
  // refuses the new download, any other is dropped), then the user chooses the file.
  // Returns the working path (chosen path + ".tmp") the driver writes to, with the
  // record added; empty when the download must not start. An `unrecorded` download
  // (a private window's) is compared only with other unrecorded ones and never
  // reaches the table.
  WString BeginDownload(int64_t id, const WString& url, const WString& suggestedName, IDownloadPrompts& prompts,
                        IDownloadDriver* driver, bool unrecorded = false);
  // Overwrites the first record with this id or URL (state 0, amounts kept) or
  // appends a new one; `driver` (non-owning, may be null) moves its bytes.
  void AddOrReplace(int64_t id, const WString& url, const WString& workingPath, const WString& finalPath,
                    const WString& fileName, IDownloadDriver* driver, bool unrecorded = false);
  // Marks a running download whose driver cannot pause it: pausing it is refused.
  void SetPausable(int64_t id, bool pausable);
  // Drops every unrecorded download from the list (the last private window has
  // closed): finished files stay where the user saved them, running ones are
  // cancelled through their drivers first.
  void ForgetUnrecorded();
  // A driver's report: what it must do now by the record's requested state, and the
  // record's new amounts. Completion comes only from the driver's own finished
  // state (then the working file takes the chosen name); a driver that ended
  // without completing leaves the download failed unless the user cancelled it;
  // one that kept its bytes for a retry leaves it paused and failed.
  DownloadAction ApplyReport(const DownloadReport& report);
  // What a driver must do for a record in `state` (pause, resume, cancel; nothing
  // once complete).
  static DownloadAction ActionFor(int state);
  // Makes `driver` the one that moves the stored download `id`. False without record.
  bool Adopt(int64_t id, IDownloadDriver* driver);
  // Stored downloads nobody drives that were running at the last exit (states 0
  // and 3); paused ones wait for the user's "continue".
  std::vector<DownloadRecord> InterruptedRecords() const;

  // The window's buttons: a running download pauses (0, 3 -> 2) or continues
  // (2 -> 3); a download that has not completed is cancelled. RequestCancel returns
  // -1 when there is no such record.
  void TogglePause(int64_t id);
  int RequestCancel(int64_t id);

  // Removes the record from the list and the database.
  void RemoveRecord(int64_t id);
  // Removes every complete download; running, paused and cancelled ones stay.
  void ClearFinished();
  // The window's clear button: removes every ended download (complete, cancelled,
  // failed), deleting their files first when asked. Running and paused ones stay.
  void ClearStopped(bool deleteFiles);
  // Deletes the working files that downloads which ended unfinished (cancelled,
  // failed) left beside their chosen names. A file the list shows as complete stays,
  // whatever its name, also one that could not take its chosen name.
  void DeleteLeftovers();

  // The file of the record (its working path): shown in the file manager, opened,
  // or deleted (the record goes in any case). False with `path` set when the file
  // does not exist (or there is no record, `path` empty then).
  bool ShowInFolder(int64_t id, WString& path);
  bool OpenFile(int64_t id, WString& path);
  bool DeleteFileOf(int64_t id, WString& path);

 private:
  using Lock = std::unique_lock<std::mutex>;

  DownloadRecord* FindLocked(int64_t id);
  DownloadRecord* FindByUrlLocked(const WString& url, bool unrecorded = false);
  void SaveLocked(const DownloadRecord& record);
  void RemoveLocked(int64_t id);
  // The designed progress step: amounts and state of the record with this id and
  // URL; `finished` renames the working file to the chosen name.
  void UpdateProgressLocked(const DownloadReport& report, int state, bool finished);
  void RenameFinishedLocked(DownloadRecord& record);
  // Runs `work` on the record's working path when the file exists.
  bool WithExistingFile(int64_t id, WString& path, const std::function<bool(const WString&)>& work);
  void Changed();
  void NotifyDriver(int64_t id);

  UserDatabase& database_;
  DownloadValidators validators_;
  mutable std::mutex mutex_;
  std::vector<DownloadRecord> records_;           // guarded by mutex_
  std::map<int64_t, IDownloadDriver*> drivers_;   // guarded by mutex_; not owned
  // When each record's amounts were last written; guarded by mutex_.
  std::map<int64_t, std::chrono::steady_clock::time_point> savedAt_;
  std::function<void()> changed_;                 // set before other threads report
  IDownloadDesktop* desktop_ = nullptr;           // not owned; GUI thread
  IDownloadDriver* idleDriver_ = nullptr;         // not owned
};

}  // namespace tarvo
