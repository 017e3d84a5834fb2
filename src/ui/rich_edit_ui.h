#pragma once
// A multi-line plain-text field. Enter sends "return" unless "wantreturn" is on (then
// it breaks the line); otherwise it behaves like CEditUI.
#include "ui/text_input_ui.h"

class QPlainTextEdit;

namespace DuiLib {

class CRichEditUI : public CTextInputUI {
 public:
  CRichEditUI();
  QString GetClass() const override { return QStringLiteral("RichEditUI"); }
  void* GetInterface(const QString& name) override;

  QString GetText() const override;
  // Sets the text without a "textchanged" notification.
  void SetText(const QString& text) override;
  void SetReadOnly(bool readOnly);
  bool IsWantReturn() const { return wantReturn_; }
  void SetWantReturn(bool want) { wantReturn_ = want; }
  QPlainTextEdit* GetTextEdit() const { return edit_; }

  void SetAttribute(const QString& name, const QString& value) override;

 protected:
  void ApplyLook() override;

 private:
  static QPlainTextEdit* MakeTextEdit(CRichEditUI* owner);
  QPlainTextEdit* edit_;  // owned by the base
  bool wantReturn_ = false;
  bool settingText_ = false;
};

}  // namespace DuiLib
