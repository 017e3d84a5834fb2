#include "engines/webengine/page_request_interceptor.h"

#include <QWebEngineUrlRequestInfo>

#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_client.h"
#include "engines/webengine/cef_display_handler.h"
#include "engines/webengine/cef_frame.h"
#include "engines/webengine/cef_request.h"
#include "engines/webengine/cef_request_handler.h"
#include "engines/shared/certificate_policy.h"
#include "engines/webengine/engine_context.h"

namespace tarvo::cef {

bool PageRequestInterceptor::IsSafeHeader(const QByteArray& name, const QByteArray& value) {
  if (name.isEmpty()) {
    return false;
  }
  static const QByteArray kSeparators = QByteArrayLiteral("()<>@,;:\\\"/[]?={} \t");
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || kSeparators.contains(c)) {
      return false;
    }
  }
  for (const char c : value) {
    if (c == '\r' || c == '\n' || c == '\0') {
      return false;
    }
  }
  return true;
}

void PageRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
  if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeFavicon) {
    AnnounceFavicon(info);
    return;
  }
  CertificatePolicy* certificates = EngineContext::Instance().certificate_policy();
  if (certificates != nullptr && !certificates->MayRequest(info.requestUrl())) {
    info.block(true);
    return;
  }
  auto browser = browser_.lock();
  CefRequestHandler* handler = browser != nullptr ? browser->client()->GetRequestHandler() : nullptr;
  if (handler == nullptr) {
    return;
  }
  const CefString url = info.requestUrl().toString().toStdU16String();
  const bool main_frame = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame;
  CefRefPtr<CefFrame> frame = main_frame ? browser->GetMainFrame() : std::make_shared<CefFrame>(browser, false, url);
  auto request = std::make_shared<CefRequest>(url, QString::fromLatin1(info.requestMethod()).toStdU16String());
  if (handler->OnBeforeResourceLoad(browser, frame, request) == RV_CANCEL) {
    info.block(true);
    return;
  }
  CefRequest::HeaderMap headers;
  request->GetHeaderMap(headers);
  // The engine takes one value per name: repeated names are joined as HTTP allows.
  for (auto it = headers.begin(); it != headers.end(); it = headers.upper_bound(it->first)) {
    QByteArray joined;
    const auto range = headers.equal_range(it->first);
    for (auto value = range.first; value != range.second; ++value) {
      if (!joined.isEmpty()) {
        joined += ", ";
      }
      joined += QString::fromStdU16String(value->second).toUtf8();
    }
    const QByteArray name = QString::fromStdU16String(it->first).toUtf8();
    if (IsSafeHeader(name, joined)) {
      info.setHttpHeader(name, joined);
    }
  }
}

void PageRequestInterceptor::AnnounceFavicon(QWebEngineUrlRequestInfo& info) {
  // The browser fetches page icons itself, bounded and on the VPN's route; the
  // engine's own copy would be a second, unbounded fetch of every icon address a
  // page names (and of loopback ones outside any proxy). Its request is where the
  // engine names the page's icon address, before anything is fetched.
  info.block(true);
  auto browser = browser_.lock();
  CefDisplayHandler* handler = browser != nullptr ? browser->client()->GetDisplayHandler() : nullptr;
  if (handler != nullptr) {
    handler->OnFaviconURLChange(browser, {info.requestUrl().toString().toStdU16String()});
  }
}

}  // namespace tarvo::cef
