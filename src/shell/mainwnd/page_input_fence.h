#pragma once
// Keeps keys and wheel turns that a page left unused from travelling on to the main
// window. The page's own key filter has already turned the browser's keys and
// Ctrl+wheel into the main window's commands; were the leftovers to reach the
// window's key bindings as well, F11 would toggle twice and Alt+H inside a page would
// show the favourites bar.
//
// Threads: GUI thread. Lifetime: a child of the widget it guards (the body bar).
#include <QObject>

class QWidget;

namespace tarvo {

class PageInputFence : public QObject {
 public:
  // Watches `pagesParent`, the widget whose children are the page views.
  explicit PageInputFence(QWidget* pagesParent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tarvo
