#pragma once

#include <QObject>

#include "ui/ui_defs.h"

namespace tarvo {

// Watches one engine view (and the widgets inside it that take the keyboard) for the
// browser's own keys and posts them to the main window as commands: Ctrl+W, Ctrl+F,
// Ctrl+H, F11, Escape and F5 on release, and Ctrl with the mouse wheel. The keys still
// reach the page afterwards. One filter per view, so a key is posted once however
// many views exist.
// Threads: GUI thread. Lifetime: a child of its view.
class BrowserKeyFilter : public QObject {
  Q_OBJECT
 public:
  BrowserKeyFilter(QWidget* view, DuiLib::HWND mainWindow);

  // The command a released key stands for, or 0.
  static unsigned CommandForKey(int key, Qt::KeyboardModifiers modifiers);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Watch(QObject* object);
  DuiLib::HWND mainWindow_;
};

}  // namespace tarvo
