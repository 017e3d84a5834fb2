#pragma once

#include <QMap>
#include <QPageLayout>
#include <QUrl>
#include <QWebEnginePage>
#include <deque>
#include <utility>

#include "engines/webengine/cef_types.h"

class QAuthenticator;
class QWebEngineCertificateError;
class QWebEngineFindTextResult;

namespace tarvo::cef {

class CefBrowser;
class CefPdfPrintCallback;
class PageRequestInterceptor;

// The one place where the engine's page is touched: it turns the page's virtual
// hooks and signals into the client's callbacks for its browser.
// Lifetime: a child of its EngineView.
// Threads: GUI thread only.
class EnginePage : public QWebEnginePage {
  Q_OBJECT
 public:
  EnginePage(QWebEngineProfile* profile, QObject* parent);
  ~EnginePage() override;

  // Binds the page to its browser; callbacks before this go nowhere.
  void Attach(const std::weak_ptr<CefBrowser>& browser);
  // Ends the current search; its result is not reported to the client.
  void ClearFind();
  // Prints to path and tells the callback (may be nullptr) how it went. The engine
  // prints one file at a time; a print asked for while another runs waits for it.
  void PrintToPdf(const QString& path, const QPageLayout& layout, CefRefPtr<CefPdfPrintCallback> callback);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool is_main_frame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;

 private:
  // Accepts or refuses a certificate the engine would refuse, before the engine
  // decides.
  void JudgeCertificateError(QWebEngineCertificateError error);
  // File access of the page that `url` will show: only the start page's.
  void LetStartPageReadItsFiles(const QUrl& url);
  void ReportLoading(bool loading);
  void ReportAuthentication(const QUrl& url, QAuthenticator* authenticator, bool is_proxy, const QString& host);
  void ReportFindResult(const QWebEngineFindTextResult& result);
  void ReportRendererEnd(RenderProcessTerminationStatus status, int exitCode);
  void FinishPdf(const QString& path, bool ok);
  void StartNextPdf();

  std::weak_ptr<CefBrowser> browser_;
  PageRequestInterceptor* interceptor_ = nullptr;  // owned: child of this page
  QMap<QString, CefRefPtr<CefPdfPrintCallback>> pdf_callbacks_;  // every print asked for
  std::deque<std::pair<QString, QPageLayout>> pdf_queue_;          // those not started yet
  QString pdf_running_;                                             // the one the engine prints
  QUrl resumed_url_;
  int unreported_find_results_ = 0;  // results of ClearFind still to come
};

}  // namespace tarvo::cef
