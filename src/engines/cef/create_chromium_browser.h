#pragma once

#include <string>

class QWidget;

namespace tarvo {

class Page;

// Asks the engine for a browser on `url` (UTF-8) as a child of `parent` (the body
// bar's window), served by ClientInstance(). Returns at once; the browser and its
// page arrive through the client's OnAfterCreated. False when the engine is not
// running. GUI thread.
bool CreateChromiumBrowser(QWidget* parent, const std::string& url);
// Makes a browser at once as the body of `page`, which has none (a restored tab
// selected, or one let go while it slept); the page loads its current address in it.
// False when the engine is not running. GUI thread.
bool CreateChromiumBrowserFor(QWidget* parent, Page& page);

}  // namespace tarvo
