#pragma once

#include "engines/webengine/cef_string.h"

namespace tarvo::cef {

// Receives a text the engine produces asynchronously (a frame's source).
class CefStringVisitor {
 public:
  virtual ~CefStringVisitor() = default;
  // Called once on the engine UI thread (the GUI thread).
  virtual void Visit(const CefString& string) = 0;
};

}  // namespace tarvo::cef
