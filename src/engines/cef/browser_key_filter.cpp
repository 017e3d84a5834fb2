#include "engines/cef/browser_key_filter.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>

#include "ui/window_registry.h"
#include "shell/commands/main_window_commands.h"
#include "ui/ui_messages.h"

namespace tarvo {

BrowserKeyFilter::BrowserKeyFilter(QWidget* view, DuiLib::HWND mainWindow) : QObject(view), mainWindow_(mainWindow) {
  Watch(view);
  for (QWidget* child : view->findChildren<QWidget*>()) Watch(child);
}

void BrowserKeyFilter::Watch(QObject* object) { object->installEventFilter(this); }

unsigned BrowserKeyFilter::CommandForKey(int key, Qt::KeyboardModifiers modifiers) {
  const bool control = (modifiers & Qt::ControlModifier) != 0;
  switch (key) {
    case Qt::Key_W:
      return control ? Commands::kCloseTab : 0;
    case Qt::Key_F:
      return control ? Commands::kFindInPage : 0;
    case Qt::Key_H:
      // Alt+H alone is the page's own.
      return control ? Commands::kHideFavorBar : 0;
    case Qt::Key_F11:
      return Commands::kToggleFullScreen;
    case Qt::Key_Escape:
      return Commands::kLeaveFullScreen;
    case Qt::Key_F5:
      return Commands::kReload;
    default:
      return 0;
  }
}

bool BrowserKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ChildAdded:
      // The engine's widget that takes the keyboard appears after the first load.
      if (auto* child = static_cast<QChildEvent*>(event)->child(); child != nullptr && child->isWidgetType()) {
        Watch(child);
      }
      break;
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->isAutoRepeat()) break;
      if (const unsigned command = CommandForKey(key->key(), key->modifiers())) {
        DuiLib::PostMessage(mainWindow_, DuiLib::WM_COMMAND, DuiLib::MakeWParam(command, 1),
                            static_cast<DuiLib::LPARAM>(reinterpret_cast<std::uintptr_t>(watched)));
      }
      break;
    }
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
