#pragma once
// The small interfaces a window implements to hear from its toolkit.
#include <QString>
#include <memory>

#include "ui/ui_defs.h"
#include "ui/ui_event.h"

namespace DuiLib {

class CControlUI;

// Receives notifications (click, return, itemselect ...) of a window's controls.
class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

// Sees every message of a window before the toolkit handles it; setting `bHandled`
// stops the message there and the returned value is its result.
class IMessageFilterUI {
 public:
  virtual ~IMessageFilterUI() = default;
  virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;
};

// A message as seen by accelerator translators.
struct MSG {
  HWND hwnd = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

constexpr LRESULT S_OK = 0;
constexpr LRESULT S_FALSE = 1;

// Sees key messages of a window (and of its native child widgets) first; returning S_OK
// means the key was translated and goes no further.
class ITranslateAccelerator {
 public:
  virtual ~ITranslateAccelerator() = default;
  virtual LRESULT TranslateAccelerator(MSG* pMsg) = 0;
};

// Lets a window create its own controls for custom tags of its skin file. The tag is
// passed as written; compare it without regard to case. Return null for tags it does
// not know.
class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  virtual std::unique_ptr<CControlUI> CreateControl(const QString& tag) = 0;
};

}  // namespace DuiLib
