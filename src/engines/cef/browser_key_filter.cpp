#include "engines/cef/browser_key_filter.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>

#include "ui/window_registry.h"
#include "shell/commands/post_command.h"
#include "ui/ui_messages.h"

namespace tarvo {

BrowserKeyFilter::BrowserKeyFilter(QWidget* view, DuiLib::HWND mainWindow) : QObject(view), mainWindow_(mainWindow) {
  Watch(view);
  for (QWidget* child : view->findChildren<QWidget*>()) Watch(child);
}

void BrowserKeyFilter::Watch(QObject* object) { object->installEventFilter(this); }

bool BrowserKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ChildAdded:
      // The engine's widget that takes the keyboard appears after the first load.
      if (auto* child = static_cast<QChildEvent*>(event)->child(); child != nullptr && child->isWidgetType()) {
        Watch(child);
      }
      break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      if (const unsigned command = keys_.OnKey(*static_cast<QKeyEvent*>(event))) {
        PostCommand(mainWindow_, command, static_cast<DuiLib::LPARAM>(reinterpret_cast<std::uintptr_t>(watched)));
      }
      break;
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      if ((wheel->modifiers() & Qt::ControlModifier) != 0) {
        const QPoint global = wheel->globalPosition().toPoint();
        DuiLib::PostMessage(mainWindow_, DuiLib::WM_MOUSEWHEEL,
                            DuiLib::MakeWParam(DuiLib::MK_CONTROL, static_cast<unsigned>(wheel->angleDelta().y())),
                            DuiLib::MakeLParam(global.x(), global.y()));
      }
      break;
    }
    default:
      break;
  }
  // The page still gets the key or wheel turn, as it did under the message hook.
  return false;
}

}  // namespace tarvo
