#include "downloads/download_status_text.h"

#include <cstdio>

#include "downloads/downloads_language_keys.h"
#include "settings/language_manager.h"

namespace tarvo {

namespace {
constexpr double kKilo = 1024.0;
constexpr double kMega = kKilo * 1024.0;
constexpr double kGiga = kMega * 1024.0;
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
  // The comma between the amount received and the total is the full-width one.
  return u"name=\"status\" text=\"" + FormatAmount(record.speed, kSpeedUnits) + u" - " +
         FormatAmount(record.received, kSizeUnits) + u"\uFF0C" + language.GetText(DownloadsLanguageKeys::kTotal) +
         u" " + FormatAmount(record.total, kSizeUnits) +
         (record.state == DownloadState::kPaused ? language.GetText(DownloadsLanguageKeys::kStopStatus) : WString()) +
         u"\" textcolor=\"#FF858585\" padding=\"0,8,0,0\" height=\"20\"";
}

}  // namespace tarvo
