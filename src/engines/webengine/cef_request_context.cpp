#include "engines/webengine/cef_request_context.h"

#include <QString>
#include <QWebEngineProfile>

#include "engines/webengine/engine_context.h"
#include "engines/webengine/proxy_switcher.h"

namespace tarvo::cef {

namespace {
constexpr const char* kProxyPreference = "proxy";
}  // namespace

CefRefPtr<CefRequestContext> CefRequestContext::GetGlobalContext() {
  static const CefRefPtr<CefRequestContext> global = std::make_shared<CefRequestContext>();
  return global;
}

CefRefPtr<CefRequestContext> CefRequestContext::CreateOffTheRecordContext() {
  QWebEngineProfile* profile = EngineContext::Instance().MakeOffTheRecordProfile();
  if (profile == nullptr) return nullptr;
  auto context = std::make_shared<CefRequestContext>();
  context->off_the_record_ = true;
  context->own_profile_ = profile;
  return context;
}

CefRequestContext::~CefRequestContext() {
  // Later, not now: the last browser of the context may be inside the destruction of
  // its view, whose page still belongs to the profile.
  if (own_profile_ != nullptr) own_profile_->deleteLater();
}

QWebEngineProfile* CefRequestContext::profile() const {
  return off_the_record_ ? own_profile_.data() : EngineContext::Instance().profile();
}

bool CefRequestContext::CanSetPreference(const std::string& name) const {
  return name == kProxyPreference && EngineContext::Instance().running();
}

bool CefRequestContext::HasPreference(const std::string& name) const {
  return name == kProxyPreference;
}

CefRefPtr<CefValue> CefRequestContext::GetPreference(const std::string& name) const {
  return name == kProxyPreference ? proxy_ : nullptr;
}

bool CefRequestContext::SetPreference(const std::string& name, CefRefPtr<CefValue> value, CefString& error) {
  if (!CanSetPreference(name)) {
    error = u"preference cannot be set: " + QString::fromStdString(name).toStdU16String();
    return false;
  }
  CefRefPtr<CefDictionaryValue> dictionary = value != nullptr ? value->GetDictionary() : nullptr;
  if (dictionary == nullptr) {
    error = u"proxy preference must be a dictionary";
    return false;
  }
  QString reason;
  const auto setting = ProxySwitcher::Parse(QString::fromStdU16String(dictionary->GetString(u"mode")),
                                            QString::fromStdU16String(dictionary->GetString(u"server")), &reason);
  ProxySwitcher* switcher = EngineContext::Instance().proxy_switcher();
  if (setting && switcher != nullptr) {
    // The engine follows the setting from here on, also when it does not confirm in
    // time; known at once, so a navigation asking while it is taken in does not set
    // the same again.
    proxy_ = value;
    if (switcher->Apply(*setting, &reason)) return true;
  }
  error = reason.toStdU16String();
  return false;
}

bool CefRequestContext::ClearHttpCache() { return EngineContext::Instance().ClearHttpCache(); }

bool CefRequestContext::ClearVisitedLinks() {
  QWebEngineProfile* profile = EngineContext::Instance().profile();
  if (!EngineContext::Instance().running() || profile == nullptr) return false;
  profile->clearAllVisitedLinks();
  return true;
}

}  // namespace tarvo::cef
