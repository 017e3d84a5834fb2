#pragma once

#include "engines/webengine/cef_string.h"

namespace tarvo::cef {

// Told when CefBrowserHost::PrintToPDF has finished.
class CefPdfPrintCallback {
 public:
  virtual ~CefPdfPrintCallback() = default;
  // Called once on the engine UI thread; ok is false when nothing was written.
  virtual void OnPdfPrintFinished(const CefString& path, bool ok) = 0;
};

}  // namespace tarvo::cef
