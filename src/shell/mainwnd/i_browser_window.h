#pragma once
// What a command may ask of the main window that runs it: the feature windows that
// start-up registers reach the window only through this.
//
// Threads: the GUI thread, while the command runs.
#include <QRect>
#include <QString>

#include "shell/commands/command_args.h"
#include "ui/ui_defs.h"

namespace DuiLib {
class CControlUI;
}

namespace tarvo {

class Page;
class Pages;

class IBrowserWindow {
 public:
  virtual ~IBrowserWindow() = default;

  // The window's handle, the owner of the windows a command opens.
  virtual DuiLib::HWND Handle() const = 0;
  // Where a control of the window's skin is on the screen, so a window can be placed
  // beside it; empty when the skin has no such control.
  virtual QRect ControlScreenRect(const QString& name) const = 0;
  // A control of the window's skin by name, or nullptr; it lives as long as the
  // window (a feature keeps its own toolbar buttons in step through it).
  virtual DuiLib::CControlUI* Control(const QString& name) const = 0;
  virtual bool IsFavoriteBarShown() const = 0;
  // The selected page, or nullptr (non-owning; valid while the command runs).
  virtual Page* CurrentPage() const = 0;
  // The window's pages.
  virtual Pages& PageList() = 0;
  // Runs another command of this window.
  virtual void RunCommand(unsigned command, const CommandArgs& args = {}) = 0;
  // Whether `command` can run now (menus grey out the others).
  virtual bool IsCommandAvailable(unsigned command) const = 0;
  // The window's texts follow a new language.
  virtual void OnLanguageChanged() = 0;
};

}  // namespace tarvo
