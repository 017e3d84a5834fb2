#include "engines/webengine/cef_browser_host.h"

#include <QPageLayout>
#include <QPageSize>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_frame.h"
#include "engines/webengine/cef_pdf_print_callback.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webengine/engine_context.h"
#include "engines/webengine/engine_page.h"
#include "engines/webengine/engine_view.h"

namespace tarvo::cef {

namespace {
constexpr double kMinZoomFactor = 0.25;
constexpr double kMaxZoomFactor = 5.0;
constexpr double kZoomStep = 1.2;

QPageLayout LayoutFor(const CefPdfPrintSettings& settings) {
  QPageSize size(QPageSize::A4);
  if (settings.page_width > 0 && settings.page_height > 0) {
    // Micrometres to millimetres; ExactMatch keeps an unusual size from being
    // rounded to a standard paper size.
    size = QPageSize(QSizeF(settings.page_width / 1000.0, settings.page_height / 1000.0), QPageSize::Millimeter,
                     QString(), QPageSize::ExactMatch);
  }
  QMarginsF margins(10, 10, 10, 10);
  switch (settings.margin_type) {
    case PDF_PRINT_MARGIN_NONE:
      margins = QMarginsF();
      break;
    case PDF_PRINT_MARGIN_MINIMUM:
      margins = QMarginsF(1, 1, 1, 1);
      break;
    case PDF_PRINT_MARGIN_CUSTOM:
      margins = QMarginsF(settings.margin_left, settings.margin_top, settings.margin_right, settings.margin_bottom);
      break;
    case PDF_PRINT_MARGIN_DEFAULT:
      break;
  }
  return QPageLayout(size, settings.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, margins,
                     QPageLayout::Millimeter, QMarginsF());
}
}  // namespace

bool CefBrowserHost::CreateBrowser(const CefWindowInfo& window_info, CefRefPtr<CefClient> client,
                                   const CefString& url, const CefBrowserSettings& /*settings*/,
                                   CefRefPtr<CefRequestContext> request_context) {
  EngineContext& engine = EngineContext::Instance();
  if (!engine.running()) {
    return false;
  }
  QTimer::singleShot(0, engine.anchor(), [window_info, client, url, request_context] {
    EngineContext& context = EngineContext::Instance();
    if (!context.running()) {
      return;
    }
    auto browser = context.MakeBrowser(window_info, client, false, request_context);
    if (browser == nullptr) {
      return;
    }
    context.Announce(browser);
    if (!url.empty()) {
      browser->GetMainFrame()->LoadURL(url);
    }
  });
  return true;
}

CefRefPtr<CefBrowser> CefBrowserHost::CreateBrowserSync(const CefWindowInfo& window_info, CefRefPtr<CefClient> client,
                                                        const CefString& url, const CefBrowserSettings& /*settings*/,
                                                        CefRefPtr<CefRequestContext> request_context) {
  EngineContext& engine = EngineContext::Instance();
  if (!engine.running()) {
    return nullptr;
  }
  auto browser = engine.MakeBrowser(window_info, std::move(client), false, std::move(request_context));
  if (browser == nullptr) {
    return nullptr;
  }
  engine.Announce(browser);
  if (!url.empty()) {
    browser->GetMainFrame()->LoadURL(url);
  }
  return browser;
}

double CefBrowserHost::ZoomFactorForLevel(double level) {
  return std::clamp(std::pow(kZoomStep, level), kMinZoomFactor, kMaxZoomFactor);
}

CefWindowHandle CefBrowserHost::GetWindowHandle() const {
  auto browser = browser_.lock();
  return browser != nullptr ? browser->view() : nullptr;
}

CefRefPtr<CefClient> CefBrowserHost::GetClient() const {
  auto browser = browser_.lock();
  return browser != nullptr ? browser->client() : nullptr;
}

CefRefPtr<CefRequestContext> CefBrowserHost::GetRequestContext() const {
  auto browser = browser_.lock();
  return browser != nullptr && browser->request_context() != nullptr ? browser->request_context()
                                                                      : CefRequestContext::GetGlobalContext();
}

void CefBrowserHost::CloseBrowser(bool /*force_close*/) {
  auto browser = browser_.lock();
  if (browser == nullptr || !browser->IsValid() || browser->closing()) {
    return;
  }
  browser->set_closing();
  browser->StopLoad();
  QTimer::singleShot(0, EngineContext::Instance().anchor(), [browser] { EngineContext::Instance().FinishClose(browser); });
}

double CefBrowserHost::GetZoomLevel() const {
  auto browser = browser_.lock();
  return browser != nullptr ? browser->zoom_level() : 0.0;
}

void CefBrowserHost::SetZoomLevel(double level) {
  auto browser = browser_.lock();
  if (browser == nullptr || !std::isfinite(level)) {
    return;
  }
  browser->set_zoom_level(level);
  if (EnginePage* page = browser->page()) {
    page->setZoomFactor(ZoomFactorForLevel(level));
  }
}

void CefBrowserHost::Find(int identifier, const CefString& search_text, bool forward, bool match_case,
                          bool find_next) {
  auto browser = browser_.lock();
  EnginePage* page = browser != nullptr ? browser->page() : nullptr;
  if (page == nullptr || search_text.empty()) {
    return;
  }
  browser->set_find_identifier(identifier);
  if (!find_next) {
    // Ending the current search makes the next one start afresh.
    page->ClearFind();
  }
  QWebEnginePage::FindFlags flags;
  if (!forward) {
    flags |= QWebEnginePage::FindBackward;
  }
  if (match_case) {
    flags |= QWebEnginePage::FindCaseSensitively;
  }
  page->findText(QString::fromStdU16String(search_text), flags);
}

void CefBrowserHost::StopFinding(bool /*clear_selection*/) {
  auto browser = browser_.lock();
  if (EnginePage* page = browser != nullptr ? browser->page() : nullptr) {
    page->ClearFind();
  }
}

void CefBrowserHost::StartDownload(const CefString& url) {
  auto browser = browser_.lock();
  if (EnginePage* page = browser != nullptr ? browser->page() : nullptr) {
    page->download(QUrl(QString::fromStdU16String(url)));
  }
}

void CefBrowserHost::PrintToPDF(const CefString& path, const CefPdfPrintSettings& settings,
                                CefRefPtr<CefPdfPrintCallback> callback) {
  auto browser = browser_.lock();
  EnginePage* page = browser != nullptr ? browser->page() : nullptr;
  if (page == nullptr) {
    if (callback != nullptr) {
      callback->OnPdfPrintFinished(path, false);
    }
    return;
  }
  page->PrintToPdf(QString::fromStdU16String(path), LayoutFor(settings), std::move(callback));
}

void CefBrowserHost::Print(QPrinter* printer, std::function<void(bool)> done) {
  auto browser = browser_.lock();
  EngineView* view = browser != nullptr ? browser->view() : nullptr;
  if (view == nullptr || printer == nullptr) {
    if (done) done(false);
    return;
  }
  QObject::connect(
      view, &QWebEngineView::printFinished, view,
      [done = std::move(done)](bool printed) {
        if (done) done(printed);
      },
      Qt::SingleShotConnection);
  view->print(printer);
}

void CefBrowserHost::SetFocus(bool focus) {
  auto browser = browser_.lock();
  if (EngineView* view = browser != nullptr ? browser->view() : nullptr) {
    if (focus) {
      view->setFocus();
    } else {
      view->clearFocus();
    }
  }
}

}  // namespace tarvo::cef
