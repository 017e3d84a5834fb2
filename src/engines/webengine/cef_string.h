#pragma once

#include "platform/text.h"

namespace tarvo::cef {

// Engine texts (URLs, titles, paths, header names and values) are UTF-16, as the
// engine's own strings are; tarvo::Utf8ToWide / WideToUtf8 convert at the edges.
using CefString = tarvo::WString;

}  // namespace tarvo::cef
