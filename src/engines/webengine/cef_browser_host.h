#pragma once

#include <functional>

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"

class QPrinter;

namespace tarvo::cef {

class CefBrowser;
class CefClient;
class CefPdfPrintCallback;
class CefRequestContext;

// Window-level operations of a browser.
// Threads: engine UI thread (the GUI thread) only; other threads post a CefTask.
class CefBrowserHost {
 public:
  // Starts making a browser and returns at once: the browser is announced to the
  // client's OnAfterCreated from the event loop, then navigates to url (if not
  // empty). False when the engine is not initialised or already shut down.
  // request_context may be nullptr (the global context).
  static bool CreateBrowser(const CefWindowInfo& window_info, CefRefPtr<CefClient> client, const CefString& url,
                            const CefBrowserSettings& settings, CefRefPtr<CefRequestContext> request_context);
  // Makes the browser now: OnAfterCreated runs before this returns, then the
  // navigation starts. nullptr when the engine is not initialised or shut down.
  static CefRefPtr<CefBrowser> CreateBrowserSync(const CefWindowInfo& window_info, CefRefPtr<CefClient> client,
                                                 const CefString& url, const CefBrowserSettings& settings,
                                                 CefRefPtr<CefRequestContext> request_context);

  // The engine's zoom factor for a logarithmic zoom level (0 = 100 %, each step
  // ×1.2), clamped to what the engine can show (25 % to 500 %).
  static double ZoomFactorForLevel(double level);

  // Layer use.
  explicit CefBrowserHost(std::weak_ptr<CefBrowser> browser) : browser_(std::move(browser)) {}

  CefRefPtr<CefBrowser> GetBrowser() const { return browser_.lock(); }
  // The browser's view, or nullptr once it is gone. Non-owning.
  CefWindowHandle GetWindowHandle() const;
  CefRefPtr<CefClient> GetClient() const;
  CefRefPtr<CefRequestContext> GetRequestContext() const;

  // Starts closing: the client's DoClose and then OnBeforeClose follow from the
  // event loop. Repeated calls while closing do nothing.
  void CloseBrowser(bool force_close);
  // The level last set (0 at first); the page shows ZoomFactorForLevel of it.
  double GetZoomLevel() const;
  void SetZoomLevel(double level);
  // Searches the page. find_next false starts a new search (from the top of the
  // page); true continues the current one. Results go to the client's find
  // handler. Empty text does nothing.
  void Find(int identifier, const CefString& search_text, bool forward, bool match_case, bool find_next);
  void StopFinding(bool clear_selection);
  // Downloads the address as if the page had linked to it; the client's download
  // handler decides where it goes.
  void StartDownload(const CefString& url);
  // Prints the page into a PDF file; the callback (may be nullptr) hears the
  // outcome. Page size and margins come from settings.
  void PrintToPDF(const CefString& path, const CefPdfPrintSettings& settings, CefRefPtr<CefPdfPrintCallback> callback);
  // Prints the page on `printer` (non-owning; it must stay alive until `done`, which
  // hears once whether the page was printed).
  void Print(QPrinter* printer, std::function<void(bool)> done);
  void SetFocus(bool focus);

 private:
  std::weak_ptr<CefBrowser> browser_;
};

}  // namespace tarvo::cef
