#include "engines/cef/vpn_proxy_engine.h"

#include "engines/webengine/cef_dictionary_value.h"
#include "engines/webengine/cef_entry_points.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webengine/cef_task.h"
#include "engines/webengine/cef_value.h"
#include "platform/debug_output.h"

namespace tarvo {

namespace {

// Sets the proxy preference when the engine allows it.
class ProxyPreferenceTask : public cef::CefTask {
 public:
  ProxyPreferenceTask(WString mode, WString server) : mode_(std::move(mode)), server_(std::move(server)) {}

  void Execute() override {
    auto context = cef::CefRequestContext::GetGlobalContext();
    if (context == nullptr || !context->CanSetPreference("proxy")) return;
    auto dictionary = cef::CefDictionaryValue::Create();
    dictionary->SetString(u"mode", mode_);
    dictionary->SetString(u"server", server_);
    auto value = cef::CefValue::Create();
    value->SetDictionary(dictionary);
    cef::CefString error;
    succeeded_ = context->SetPreference("proxy", value, error);
    if (!succeeded_) DebugOutput("vpn: the engine refused the proxy: " + WideToUtf8(error));
  }
  bool succeeded() const { return succeeded_; }

 private:
  const WString mode_;
  const WString server_;
  bool succeeded_ = false;
};

}  // namespace

bool VpnProxyEngine::SetProxy(const WString& mode, const WString& server) {
  auto task = std::make_shared<ProxyPreferenceTask>(mode, server);
  if (cef::CefCurrentlyOn(cef::TID_UI)) {
    task->Execute();
    return task->succeeded();
  }
  return cef::CefPostTask(cef::TID_UI, task);
}

bool VpnProxyEngine::ConnectVpn(const WString& address, const WString& port) {
  return SetProxy(u"fixed_servers", address + u":" + port);
}

void VpnProxyEngine::DisconnectVpn() { SetProxy(u"", u""); }

}  // namespace tarvo
