#include "downloads/download_status_text.h"

#include <cstdio>

#include "downloads/downloads_language_keys.h"
#include "settings/language_manager.h"

namespace tarvo {

namespace {
constexpr double kKilo = 1024.0;
constexpr double kMega = kKilo * 1024.0;
constexpr double kGiga = kMega * 1024.0;

const char16_t* EndKey(const DownloadRecord& record) {
  using Problem = DownloadRecord::Problem;
  namespace Keys = DownloadsLanguageKeys;
  if (record.state == DownloadState::kComplete) return Keys::kDone;
  switch (record.problem) {
    case Problem::kDiskFull:
      return Keys::kFailedDiskFull;
    case Problem::kNoPermission:
      return Keys::kFailedNoPermission;
    case Problem::kConnectionLost:
      return Keys::kFailedConnection;
    case Problem::kServerRefused:
      return Keys::kFailedServer;
    case Problem::kFailed:
      return Keys::kFailed;
    default:
      return Keys::kNotFinished;
  }
}
}  // namespace

WString DownloadStatusText::FormatNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  const std::string plain(buffer);
  const size_t digitsStart = plain.starts_with('-') ? 1 : 0;
  const size_t point = plain.find('.');
  std::string grouped = plain.substr(0, digitsStart);
  const std::string whole = plain.substr(digitsStart, point - digitsStart);
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(whole[i]);
  }
  grouped += plain.substr(point);
  return AsciiToWide(grouped);
}

WString DownloadStatusText::FormatAmount(int64_t value, const Units& units) {
  const auto amount = static_cast<double>(value);
  // Strict comparisons, as designed: exactly 1024 bytes stay bytes.
  if (amount / kGiga > 1) return FormatNumber(amount / kGiga) + units.gb;
  if (amount / kMega > 1) return FormatNumber(amount / kMega) + units.mb;
  if (amount / kKilo > 1) return FormatNumber(amount / kKilo) + units.kb;
  return AsciiToWide(std::to_string(value)) + units.b;
}

WString DownloadStatusText::StatusText(const DownloadRecord& record) {
  const LanguageManager& language = LanguageManager::Instance();
  WString paused;
  if (record.state == DownloadState::kPaused) {
    // Paused after a failure that kept its bytes: "continue" tries again.
    paused = language.GetText(record.problem == DownloadRecord::Problem::kFailed ? DownloadsLanguageKeys::kFailedRetry
                                                                                 : DownloadsLanguageKeys::kStopStatus);
  }
  // The comma between the amount received and the total is the full-width one.
  return u"name=\"status\" text=\"" + FormatAmount(record.speed, kSpeedUnits) + u" - " +
         FormatAmount(record.received, kSizeUnits) + u"\uFF0C" + language.GetText(DownloadsLanguageKeys::kTotal) +
         u" " + FormatAmount(record.total, kSizeUnits) + paused +
         u"\" textcolor=\"#FF858585\" padding=\"0,8,0,0\" height=\"20\"";
}

WString DownloadStatusText::EndedText(const DownloadRecord& record) {
  const WString end = LanguageManager::Instance().GetText(EndKey(record));
  // The row is narrow: a failure says why, the amounts would push that out of sight.
  if (record.state != DownloadState::kComplete && DownloadRecord::IsFailure(record.problem)) return end;
  WString amount;
  if (record.state == DownloadState::kComplete) {
    amount = FormatAmount(record.received > 0 ? record.received : record.total, kSizeUnits);
  } else {
    amount = FormatAmount(record.received, kSizeUnits);
    if (record.total > 0) amount += u" / " + FormatAmount(record.total, kSizeUnits);
  }
  return amount + u" \u00B7 " + end;
}

}  // namespace tarvo
