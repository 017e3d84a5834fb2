#include "shell/addressbar/web_search.h"

#include <QUrl>

namespace tarvo {

namespace {

QString EncodeComponent(const QString& text) { return QString::fromLatin1(QUrl::toPercentEncoding(text)); }

}  // namespace

int WebSearch::ApplyChooserResult(int result, WString& icon) const {
  if (result < 0 || result >= static_cast<int>(kEngineNames.size())) return -1;
  if (records_.SetSearchEngine(kEngineNames[static_cast<size_t>(result)]) != 0) return -1;
  icon = records_.GetSearchEngineIcon();
  return 0;
}

int WebSearch::Search(const QString& text, const std::function<void(const WString&)>& openInNewTab,
                      bool remember) const {
  if (text.trimmed().isEmpty()) return -1;
  const WString url = records_.BuildSearchUrl(EncodeComponent(text).toStdU16String());
  if (url.empty()) return -1;
  // A text searched before keeps its first row; the search still runs.
  if (remember) records_.AddSearchText(text.toStdU16String());
  openInNewTab(url);
  return 0;
}

WString WebSearch::StartPageWithEngine(WStringView startPage) const {
  // The engine's address is its prefix and suffix around the query; an empty
  // query marker splits them.
  const WString marker = u"\x01";
  const WString whole = records_.BuildSearchUrl(marker);
  const size_t at = whole.find(marker);
  if (whole.empty() || at == WString::npos) return WString(startPage);
  const QString prefix = QString::fromStdU16String(whole.substr(0, at));
  const QString suffix = QString::fromStdU16String(whole.substr(at + marker.size()));
  QString address = QString::fromStdU16String(WString(startPage));
  address += QStringLiteral("?sp=") + EncodeComponent(prefix);
  if (!suffix.isEmpty()) address += QStringLiteral("&ss=") + EncodeComponent(suffix);
  return address.toStdU16String();
}

}  // namespace tarvo
