#include "engines/webkitgtk/webkit_print_job.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QTimer>

#include "engines/webkitgtk/gtk_headers.h"

namespace tarvo::ie {

namespace {

// GTK names its print-to-file printer in the interface language; it is found by
// that name only.
const char* FilePrinterName() { return g_dgettext("gtk30", "Print to File"); }

void SetPdfOutput(GtkPrintSettings* settings, const QString& path) {
  gtk_print_settings_set_printer(settings, FilePrinterName());
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
  gchar* uri = g_filename_to_uri(QFileInfo(path).absoluteFilePath().toUtf8().constData(), nullptr, nullptr);
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
  g_free(uri);
}

// Answers later from the event loop, as a print that ran would.
void AnswerLater(WebKitPrintJob::Done done, bool ok) {
  QTimer::singleShot(0, [done = std::move(done), ok] {
    if (done) done(ok);
  });
}

}  // namespace

void WebKitPrintJob::ToPdf(WebKitWebView* view, const QString& path, Done done) {
  // The engine would report a print into a folder that does not exist only later,
  // or not at all.
  if (!QFileInfo(QFileInfo(path).absolutePath()).isDir()) {
    AnswerLater(std::move(done), false);
    return;
  }
  GtkPrintSettings* settings = gtk_print_settings_new();
  SetPdfOutput(settings, path);
  GtkPageSetup* setup = gtk_page_setup_new();
  GtkPaperSize* a4 = gtk_paper_size_new(GTK_PAPER_NAME_A4);
  gtk_page_setup_set_paper_size_and_default_margins(setup, a4);
  gtk_paper_size_free(a4);
  Start(view, settings, setup, path, std::move(done));
}

void WebKitPrintJob::ToPrinter(WebKitWebView* view, const QPrinter& printer, Done done) {
  GtkPrintSettings* settings = gtk_print_settings_new();
  QString pdfPath;
  if (!printer.outputFileName().isEmpty()) {
    pdfPath = printer.outputFileName();
    SetPdfOutput(settings, pdfPath);
  } else {
    gtk_print_settings_set_printer(settings, printer.printerName().toUtf8().constData());
  }
  gtk_print_settings_set_n_copies(settings, printer.copyCount());
  gtk_print_settings_set_collate(settings, printer.collateCopies());
  gtk_print_settings_set_use_color(settings, printer.colorMode() == QPrinter::Color);
  switch (printer.duplex()) {
    case QPrinter::DuplexLongSide: gtk_print_settings_set_duplex(settings, GTK_PRINT_DUPLEX_HORIZONTAL); break;
    case QPrinter::DuplexShortSide: gtk_print_settings_set_duplex(settings, GTK_PRINT_DUPLEX_VERTICAL); break;
    default: gtk_print_settings_set_duplex(settings, GTK_PRINT_DUPLEX_SIMPLEX); break;
  }
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    // GTK counts pages from 0.
    GtkPageRange range{printer.fromPage() - 1, std::max(printer.fromPage(), printer.toPage()) - 1};
    gtk_print_settings_set_print_pages(settings, GTK_PRINT_PAGES_RANGES);
    gtk_print_settings_set_page_ranges(settings, &range, 1);
  }
  const QPageLayout layout = printer.pageLayout();
  const QSizeF paper = layout.pageSize().size(QPageSize::Millimeter);
  GtkPageSetup* setup = gtk_page_setup_new();
  const QByteArray paperName = layout.pageSize().key().toUtf8();
  GtkPaperSize* size = gtk_paper_size_new_custom(paperName.constData(), paperName.constData(), paper.width(),
                                                 paper.height(), GTK_UNIT_MM);
  gtk_page_setup_set_paper_size_and_default_margins(setup, size);
  gtk_paper_size_free(size);
  gtk_page_setup_set_orientation(setup, layout.orientation() == QPageLayout::Landscape ? GTK_PAGE_ORIENTATION_LANDSCAPE
                                                                                        : GTK_PAGE_ORIENTATION_PORTRAIT);
  Start(view, settings, setup, pdfPath, std::move(done));
}

void WebKitPrintJob::Start(WebKitWebView* view, void* settings, void* pageSetup, const QString& pdfPath, Done done) {
  WebKitPrintOperation* operation = webkit_print_operation_new(view);
  webkit_print_operation_set_print_settings(operation, GTK_PRINT_SETTINGS(settings));
  webkit_print_operation_set_page_setup(operation, GTK_PAGE_SETUP(pageSetup));
  g_object_unref(settings);
  g_object_unref(pageSetup);
  auto* job = new WebKitPrintJob(operation, pdfPath, std::move(done));
  webkit_print_operation_print(operation);
  (void)job;  // deletes itself when the operation ends
}

WebKitPrintJob::WebKitPrintJob(WebKitPrintOperation* operation, QString pdfPath, Done done)
    : operation_(operation), pdfPath_(std::move(pdfPath)), done_(std::move(done)) {
  g_signal_connect(operation_, "failed", G_CALLBACK(&WebKitPrintJob::OnFailed), this);
  g_signal_connect(operation_, "finished", G_CALLBACK(&WebKitPrintJob::OnFinished), this);
}

WebKitPrintJob::~WebKitPrintJob() {
  g_signal_handlers_disconnect_by_data(operation_, this);
  g_object_unref(operation_);
}

void WebKitPrintJob::OnFailed(WebKitPrintOperation*, GError*, WebKitPrintJob* job) { job->failed_ = true; }

void WebKitPrintJob::OnFinished(WebKitPrintOperation*, WebKitPrintJob* job) {
  bool ok = !job->failed_;
  if (!job->pdfPath_.isEmpty()) {
    ok = ok && QFileInfo(job->pdfPath_).size() > 0;
    if (!ok) QFile::remove(job->pdfPath_);
  }
  Done done = std::move(job->done_);
  delete job;
  if (done) done(ok);
}

}  // namespace tarvo::ie
