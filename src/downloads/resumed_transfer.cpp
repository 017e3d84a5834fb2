#include "downloads/resumed_transfer.h"

#include <cctype>
#include <filesystem>
#include <limits>
#include <optional>
#include <utility>

#include "downloads/download_manager.h"
#include "net/curl_transfer.h"
#include "net/http_header.h"
#include "net/http_interface_error.h"
#include "net/http_url.h"
#include "downloads/validator_probe.h"

namespace tarvo {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kReportInterval = std::chrono::milliseconds(250);
constexpr int kAttempts = 3;
constexpr size_t kWriteBuffer = 1 << 20;

// "bytes first-last/total" or "bytes */total": first (or -1) and total (or -1).
std::pair<int64_t, int64_t> ParseContentRange(const std::string& value) {
  int64_t first = -1;
  int64_t total = -1;
  const size_t space = value.find(' ');
  const size_t slash = value.find('/');
  if (space == std::string::npos || slash == std::string::npos) return {first, total};
  const std::string range = value.substr(space + 1, slash - space - 1);
  const std::string whole = value.substr(slash + 1);
  try {
    if (range != "*") first = std::stoll(range.substr(0, range.find('-')));
    if (whole != "*") total = std::stoll(whole);
  } catch (const std::exception&) {
    return {-1, -1};
  }
  return {first, total};
}

// The media type of a Content-Type value, lower case, without parameters.
std::string MediaType(std::string_view value) {
  std::string type(value.substr(0, value.find(';')));
  while (!type.empty() && (type.back() == ' ' || type.back() == '\t')) type.pop_back();
  const size_t start = type.find_first_not_of(" \t");
  type.erase(0, start == std::string::npos ? type.size() : start);
  for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return type;
}

// A part of the file the validator names: an ETag validator must come back as the
// part's ETag, a date as its Last-Modified. A server that ignores If-Range sends a
// part of whatever it has now, which must not be spliced onto the bytes held.
bool PartOfSameFile(const CHttpHeader& head, const WString& validator) {
  const bool etag = validator.starts_with(u"\"");
  return Utf8ToWide(head.Field(etag ? "ETag" : "Last-Modified")) == validator;
}

int64_t FileSize(const WString& path) {
  std::error_code error;
  const auto size = fs::file_size(fs::path(WideToUtf8(path)), error);
  return error ? 0 : static_cast<int64_t>(size);
}

}  // namespace

ResumedTransfer::ResumedTransfer(DownloadManager& manager, DownloadRecord record, RequestRoute route,
                                 std::stop_token stop, std::shared_ptr<std::atomic<bool>> attention)
    : manager_(manager),
      record_(std::move(record)),
      route_(std::move(route)),
      stop_(std::move(stop)),
      attention_(std::move(attention)),
      knownTotal_(record_.total),
      knownType_(manager_.Validators().ContentType(record_.url)) {}

ResumedTransfer::~ResumedTransfer() { CloseFile(); }

ResumedTransfer::Outcome ResumedTransfer::Run() {
  WString validator = manager_.Validators().Get(record_.url);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const int64_t before = FileSize(record_.workingPath);
    const Attempt result = RunAttempt(validator);
    if (stop_.stop_requested()) return Finish(Outcome::kStopped);
    if (halted_) {
      const std::optional<DownloadRecord> now = manager_.FindById(record_.id);
      return Finish(now && now->state == DownloadState::kPaused ? Outcome::kPaused : Outcome::kCancelled);
    }
    if (result == Attempt::kDone) return Finish(Outcome::kComplete);
    if (result == Attempt::kMismatch) return Finish(Outcome::kMismatch);
    if (result == Attempt::kRestartFromZero) {
      // Whatever the file holds is not part of the file the server has now: the
      // whole file is asked for, and taken only when it is the file known.
      validator.clear();
      continue;
    }
    // A whole file written again is continued by its own validator.
    if (!learnedValidator_.empty()) validator = std::exchange(learnedValidator_, WString());
    if (FileSize(record_.workingPath) <= before) break;  // no progress: no point in asking again
  }
  return Finish(Outcome::kFailed);
}

ResumedTransfer::Attempt ResumedTransfer::RunAttempt(const WString& validator) {
  const std::optional<HttpUrl> address = HttpUrl::Parse(WStringView(record_.url));
  if (!address) return Attempt::kInterrupted;
  const int64_t held = validator.empty() ? 0 : FileSize(record_.workingPath);
  // The file is opened once the head has said what comes: an answer that is not the
  // file known must leave the bytes held as they are.
  CloseFile();
  received_ = held;
  total_ = record_.total;
  receivedAtLastReport_ = received_;
  lastReport_ = Clock::now();
  CurlTransferSetup setup;
  setup.url = &*address;
  if (held > 0) {
    setup.extraHeaders = "Range: bytes=" + std::to_string(held) + "-\r\nIf-Range: " + WideToUtf8(validator);
  }
  setup.blockSize = 256 * 1024;
  // The user chose this download; its size is not ours to bound.
  setup.limits.maxDownloadBytes = std::numeric_limits<uint64_t>::max();
  setup.callback = this;
  setup.route = route_;
  verdict_ = HeadVerdict::kContinue;
  try {
    CurlTransfer::Run(
        setup, [&](const CHttpHeader& head) { OnHead(head, held, validator); },
        [this](std::string_view data) { Write(data); });
  } catch (HttpInterfaceError) {
    // What arrived is on disk before anyone measures the file again.
    CloseFile();
    if (verdict_ == HeadVerdict::kRestartFromZero) return Attempt::kRestartFromZero;
    if (verdict_ == HeadVerdict::kMismatch) return Attempt::kMismatch;
    if (verdict_ != HeadVerdict::kAlreadyWhole) return Attempt::kInterrupted;
  }
  if (!CloseFile()) return Attempt::kInterrupted;
  // A server that announced more than it sent would otherwise leave a short file
  // called complete.
  if (total_ > 0 && received_ != total_) return Attempt::kInterrupted;
  return Attempt::kDone;
}

void ResumedTransfer::OnHead(const CHttpHeader& head, int64_t requestedFrom, const WString& validator) {
  // Only HttpInterfaceError may leave this callback (it runs inside libcurl): the
  // verdict says why the transfer was ended.
  if (OtherType(head)) EndTransfer(HeadVerdict::kMismatch);
  if (head.status() == 206) {
    OnPart(head, requestedFrom, validator);
  } else if (head.status() == 416 && requestedFrom > 0) {
    // Nothing after the held bytes: the file may be whole already.
    const auto [first, total] = ParseContentRange(head.Field("Content-Range"));
    const bool whole = total == requestedFrom && (knownTotal_ == 0 || total == knownTotal_);
    total_ = total;
    EndTransfer(whole ? HeadVerdict::kAlreadyWhole : HeadVerdict::kRestartFromZero);
  } else if (head.status() == 200) {
    OnWhole(head);
  } else {
    throw kHttpErrorNotFound;
  }
}

void ResumedTransfer::OnPart(const CHttpHeader& head, int64_t requestedFrom, const WString& validator) {
  const std::optional<uint64_t> length = head.contentLength();
  const auto [first, total] = ParseContentRange(head.Field("Content-Range"));
  if (requestedFrom == 0 || first != requestedFrom || !PartOfSameFile(head, validator)) {
    EndTransfer(HeadVerdict::kRestartFromZero);
  }
  const int64_t announced = total > 0 ? total : (length ? requestedFrom + static_cast<int64_t>(*length) : 0);
  // The same validator with another size: the server's word cannot be trusted.
  if (knownTotal_ > 0 && announced > 0 && announced != knownTotal_) EndTransfer(HeadVerdict::kMismatch);
  if (!OpenFile(false)) throw kHttpErrorCreateFile;
  total_ = announced > 0 ? announced : knownTotal_;
}

void ResumedTransfer::OnWhole(const CHttpHeader& head) {
  // The whole file (it changed, or the server has no ranges): a restart, which only
  // the file known may be. A whole answer of another length is something else.
  const std::optional<uint64_t> length = head.contentLength();
  if (knownTotal_ > 0 && length && static_cast<int64_t>(*length) != knownTotal_) EndTransfer(HeadVerdict::kMismatch);
  if (!OpenFile(true)) throw kHttpErrorCreateFile;
  received_ = 0;
  total_ = length ? static_cast<int64_t>(*length) : knownTotal_;
  learnedValidator_ = ValidatorProbe::FromHead(head);
  manager_.Validators().Set(record_.url, learnedValidator_);
}

void ResumedTransfer::EndTransfer(HeadVerdict verdict) {
  verdict_ = verdict;
  throw kHttpErrorCancelled;
}

bool ResumedTransfer::OtherType(const CHttpHeader& head) const {
  const std::string answered = MediaType(head.Field("Content-Type"));
  const std::string known = MediaType(WideToUtf8(knownType_));
  return !answered.empty() && !known.empty() && answered != known;
}

void ResumedTransfer::Write(std::string_view data) {
  if (file_ == nullptr || std::fwrite(data.data(), 1, data.size(), file_) != data.size()) throw kHttpErrorCreateFile;
  received_ += static_cast<int64_t>(data.size());
  // A whole answer without a length that runs past the known total is another file.
  if (knownTotal_ > 0 && received_ > knownTotal_) EndTransfer(HeadVerdict::kMismatch);
  if (Clock::now() - lastReport_ >= kReportInterval && !Report(false, false)) throw kHttpErrorCancelled;
}

bool ResumedTransfer::CloseFile() {
  const bool written = file_ == nullptr || std::fclose(file_) == 0;
  file_ = nullptr;
  return written;
}

bool ResumedTransfer::OpenFile(bool truncate) {
  CloseFile();
  const std::string path = WideToUtf8(record_.workingPath);
  file_ = std::fopen(path.c_str(), truncate ? "wb" : "ab");
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IOFBF, kWriteBuffer);
  return file_ != nullptr;
}

bool ResumedTransfer::Report(bool complete, bool ended, bool retryable) {
  const auto now = Clock::now();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastReport_).count();
  if (elapsed > 0) speed_ = (received_ - receivedAtLastReport_) * 1000 / elapsed;
  lastReport_ = now;
  receivedAtLastReport_ = received_;
  DownloadReport report{record_.id, record_.url, complete || ended ? 0 : speed_, received_, total_, complete, ended};
  report.retryable = retryable;
  const DownloadAction action = manager_.ApplyReport(report);
  halted_ = action == DownloadAction::kPause || action == DownloadAction::kCancel;
  return !halted_;
}

bool ResumedTransfer::IsCancelled() {
  if (stop_.stop_requested()) return true;
  if (!attention_->exchange(false)) return halted_;
  const std::optional<DownloadRecord> now = manager_.FindById(record_.id);
  halted_ = !now || now->state == DownloadState::kPaused || now->state == DownloadState::kCancelled;
  return halted_;
}

ResumedTransfer::Outcome ResumedTransfer::Finish(Outcome outcome) {
  CloseFile();
  switch (outcome) {
    case Outcome::kComplete:
      Report(true, false);
      break;
    case Outcome::kPaused:
      speed_ = 0;
      receivedAtLastReport_ = received_;
      Report(false, false);
      break;
    case Outcome::kCancelled: {
      std::error_code error;
      fs::remove(fs::path(WideToUtf8(record_.workingPath)), error);
      Report(false, true);
      break;
    }
    case Outcome::kFailed:
      Report(false, true);
      break;
    case Outcome::kMismatch:
      speed_ = 0;
      Report(false, false, true);
      break;
    case Outcome::kStopped:
      break;
  }
  return outcome;
}

}  // namespace tarvo
