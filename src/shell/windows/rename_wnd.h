#pragma once
// Rename ("rename.xml"): one edit with the caller's text; OK (or Return) hands the
// edited text back, Cancel and Escape keep the caller's text.
//
// GUI thread only. Modal; the object lives on the caller's stack.
#include "ui/window_impl_base.h"

namespace tarvo {

class RenameWnd : public DuiLib::WindowImplBase {
 public:
  explicit RenameWnd(QString text) : text_(std::move(text)) {}

  // Runs the window modally over `owner` with `title` at `screenTopLeft`; returns
  // IDOK when the text was accepted.
  int Run(DuiLib::HWND owner, const QString& title, QPoint screenTopLeft);
  // The accepted text, or the caller's text when the window was cancelled.
  const QString& GetText() const { return text_; }

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXRenameWnd"); }
  QString GetSkinFile() override { return QStringLiteral("rename.xml"); }

 private:
  void Fill();
  void Accept();

  QString text_;
};

}  // namespace tarvo
