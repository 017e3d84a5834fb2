#pragma once

#include <QObject>

#include "shell/pages/page_key_commands.h"
#include "ui/ui_defs.h"

namespace tarvo {

// Watches one engine view (and the widgets inside it that take the keyboard) for the
// browser's own keys and posts them to the main window as commands (PageKeyCommands),
// and Ctrl with the mouse wheel. The keys still
// reach the page afterwards. One filter per view, so a key is posted once however
// many views exist.
// Threads: GUI thread. Lifetime: a child of its view.
class BrowserKeyFilter : public QObject {
  Q_OBJECT
 public:
  BrowserKeyFilter(QWidget* view, DuiLib::HWND mainWindow);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Watch(QObject* object);
  DuiLib::HWND mainWindow_;
  PageKeyCommands keys_{KeyScope::kChromiumPage};
};

}  // namespace tarvo
