#pragma once

#include <string>

#include "engines/webengine/cef_types.h"

class QWidget;

namespace tarvo {

class Page;
namespace cef {
class CefRequestContext;
}

// Asks the engine for a browser on `url` (UTF-8) as a child of `parent` (the body
// bar's window), served by ClientInstance(), in `context` (the global one when null;
// an off-the-record one for a private window). Returns at once; the browser and its
// page arrive through the client's OnAfterCreated. False when the engine is not
// running. GUI thread.
bool CreateChromiumBrowser(QWidget* parent, const std::string& url,
                           cef::CefRefPtr<cef::CefRequestContext> context = nullptr);
// Makes a browser at once, in `context` as above, as the body of `page`, which has
// none (a restored tab selected, or one let go while it slept); the page loads its
// current address in it. False when the engine is not running. GUI thread.
bool CreateChromiumBrowserFor(QWidget* parent, Page& page, cef::CefRefPtr<cef::CefRequestContext> context = nullptr);

}  // namespace tarvo
