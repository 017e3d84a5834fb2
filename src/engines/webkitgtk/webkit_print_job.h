#pragma once

#include <QString>
#include <functional>

class QPrinter;
typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitPrintOperation WebKitPrintOperation;
typedef struct _GError GError;

namespace tarvo::ie {

// One print of a web view's page through the engine's own printing, without a
// dialog: into a PDF file, or on the printer the browser's print dialog set up.
// `done` hears once, from the event loop, whether it printed; a PDF that could not
// be written leaves no file. The job deletes itself once it has answered.
// Threads: GUI thread.
class WebKitPrintJob {
 public:
  using Done = std::function<void(bool ok)>;

  // A4 pages, backgrounds printed.
  static void ToPdf(WebKitWebView* view, const QString& path, Done done);
  // The printer's name, copies, sides, orientation, paper, colour and pages; a
  // printer that prints into a file writes a PDF there.
  static void ToPrinter(WebKitWebView* view, const QPrinter& printer, Done done);

 private:
  WebKitPrintJob(WebKitPrintOperation* operation, QString pdfPath, Done done);
  ~WebKitPrintJob();
  static void Start(WebKitWebView* view, void* settings, void* pageSetup, const QString& pdfPath, Done done);
  static void OnFailed(WebKitPrintOperation* operation, GError* error, WebKitPrintJob* job);
  static void OnFinished(WebKitPrintOperation* operation, WebKitPrintJob* job);

  WebKitPrintOperation* operation_;  // owned reference
  const QString pdfPath_;            // the file a PDF print writes, or empty
  Done done_;
  bool failed_ = false;
};

}  // namespace tarvo::ie
