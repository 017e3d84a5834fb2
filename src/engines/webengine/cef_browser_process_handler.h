#pragma once

namespace tarvo::cef {

// Browser-process notifications of the engine. Every method has an empty default.
// Threads: called on the engine's UI thread (the GUI thread here).
class CefBrowserProcessHandler {
 public:
  virtual ~CefBrowserProcessHandler() = default;
  // The engine's global context exists (after CefInitialize).
  virtual void OnContextInitialized() {}
};

}  // namespace tarvo::cef
