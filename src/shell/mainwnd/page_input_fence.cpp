#include "shell/mainwnd/page_input_fence.h"

#include <QEvent>
#include <QWidget>

namespace tarvo {

PageInputFence::PageInputFence(QWidget* pagesParent) : QObject(pagesParent) { pagesParent->installEventFilter(this); }

bool PageInputFence::eventFilter(QObject* watched, QEvent* event) {
  if (watched != parent()) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
      // The pages' parent never has the focus itself: what arrives here was passed
      // up from a page.
      event->accept();
      return true;
    default:
      return false;
  }
}

}  // namespace tarvo
