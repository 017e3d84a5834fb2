#pragma once
// The main window's commands that write the current page out: save as PDF, save the
// source, print, and save the visible page as a picture. Each asks the page's body
// (ITabBody), and is unavailable, its menu entry greyed out, when the body can't. A
// file that can't be written, or a print that fails, is reported in a message box.
//
// Threads: GUI thread. Lifetime: owned by the main window, which it refers to
// (non-owning); a body's late answer finds the window by its handle, never by a
// pointer.
#include <QString>
#include <functional>

#include "shell/pages/i_tab_body.h"
#include "shell/windows/page_save_dialog.h"

class QPrinter;
class QWidget;

namespace tarvo {

class CommandRouter;
class IMainWindow;

class PageFileCommands {
 public:
  // Sets up the printer for one print (the print dialog); false when the user
  // cancelled.
  using PrintSetup = std::function<bool(QPrinter& printer, QWidget* parent)>;

  // Registers its commands on `router`.
  PageFileCommands(IMainWindow& window, CommandRouter& router);

  // Replace the desktop's save and print dialogs (tests).
  void SetSaveDialog(PageSaveDialog dialog) { saveDialog_ = std::move(dialog); }
  void SetPrintSetup(PrintSetup setup) { printSetup_ = std::move(setup); }

 private:
  // The current page's body when it can do `operation`, else nullptr.
  ITabBody* BodyFor(PageOperation operation) const;
  // The path the user chose for the current page as `type`, or empty.
  QString AskPath(const PageSaveDialog::FileType& type) const;
  // What a body's answer does: a message box over the window when nothing was written.
  ITabBody::Done ReportFailure(WStringView languageKey) const;
  void SaveAsPdf();
  void SaveSource();
  void Print();
  void Screenshot();

  IMainWindow& window_;
  PageSaveDialog saveDialog_;
  PrintSetup printSetup_;
};

}  // namespace tarvo
