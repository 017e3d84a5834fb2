#pragma once
// A multi-line plain-text field. Enter sends "return" unless "wantreturn" is on (then
// it breaks the line); otherwise it behaves like CEditUI.
#include <memory>

#include "ui/label_ui.h"

class QPlainTextEdit;

namespace DuiLib {

class CNativeWidgetSlot;

class CRichEditUI : public CLabelUI {
 public:
  CRichEditUI();
  ~CRichEditUI() override;
  QString GetClass() const override { return QStringLiteral("RichEditUI"); }
  void* GetInterface(const QString& name) override;
  bool IsClickable() const override { return true; }
  bool IsFocusable() const override { return true; }

  QString GetText() const override;
  // Sets the text without a "textchanged" notification.
  void SetText(const QString& text) override;
  void SetReadOnly(bool readOnly);
  bool IsWantReturn() const { return wantReturn_; }
  void SetWantReturn(bool want) { wantReturn_ = want; }
  QPlainTextEdit* GetTextEdit() const { return edit_; }

  void SetPos(const QRect& rc) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enabled = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintText(QPainter& painter) override;

 protected:
  void DoInit() override;

 private:
  void ApplyLook();
  std::unique_ptr<CNativeWidgetSlot> slot_;
  QPlainTextEdit* edit_ = nullptr;  // owned by slot_
  bool wantReturn_ = false;
  bool settingText_ = false;
};

}  // namespace DuiLib
