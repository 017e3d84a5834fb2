#pragma once

namespace tarvo::cef {

class CefContextMenuHandler;
class CefDisplayHandler;
class CefDownloadHandler;
class CefFindHandler;
class CefLifeSpanHandler;
class CefLoadHandler;
class CefRequestHandler;

// The object that receives a browser's callbacks. Each getter returns a handler or
// nullptr for none; handlers are non-owning and must live as long as the client,
// which the browsers it serves keep alive.
// Threads: getters are called on the engine UI thread (the GUI thread).
class CefClient {
 public:
  virtual ~CefClient() = default;
  virtual CefContextMenuHandler* GetContextMenuHandler() { return nullptr; }
  virtual CefDisplayHandler* GetDisplayHandler() { return nullptr; }
  virtual CefDownloadHandler* GetDownloadHandler() { return nullptr; }
  virtual CefFindHandler* GetFindHandler() { return nullptr; }
  virtual CefLifeSpanHandler* GetLifeSpanHandler() { return nullptr; }
  virtual CefLoadHandler* GetLoadHandler() { return nullptr; }
  virtual CefRequestHandler* GetRequestHandler() { return nullptr; }
};

}  // namespace tarvo::cef
