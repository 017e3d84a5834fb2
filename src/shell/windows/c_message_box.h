#pragma once
// The toolkit message box ("messagebox.xml"): a text, OK and optionally Cancel.
// OK gives true; Cancel, the close button and Escape give false, so a dismissed
// question is never taken for a yes.
//
// GUI thread only. Runs modally; the object lives on the caller's stack.
#include "ui/window_impl_base.h"

namespace tarvo {

class CMessageBox : public DuiLib::WindowImplBase {
 public:
  // Shows `text` above `parent` (or 0), centred on that window's monitor, and waits
  // for the answer.
  static bool Show(DuiLib::HWND parent, const QString& text, bool withCancel);

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXMessageBox"); }
  QString GetSkinFile() override { return QStringLiteral("messagebox.xml"); }
  bool ResponseDefaultKeyEvent(DuiLib::WPARAM key) override;

 private:
  CMessageBox(QString text, bool withCancel) : text_(std::move(text)), withCancel_(withCancel) {}
  void Fill();
  // Makes the box tall enough for every line of its text.
  void GrowForText();
  // Centres the box on the monitor of `parent` (or of the mouse pointer).
  void CentreOnMonitor(DuiLib::HWND parent);

  QString text_;
  bool withCancel_ = false;
};

}  // namespace tarvo
