#pragma once
// A single-line text field: a real line edit placed inside the control, so typing,
// selection, clipboard and input methods work as everywhere else on the desktop. Sends
// "textchanged" on each user edit, "return" on Enter, "setfocus"/"killfocus" as the
// focus comes and goes.
#include "ui/text_input_ui.h"

class QLineEdit;

namespace DuiLib {

class CEditUI : public CTextInputUI {
 public:
  CEditUI();
  QString GetClass() const override { return QStringLiteral("EditUI"); }
  void* GetInterface(const QString& name) override;

  QString GetText() const override;
  // Sets the text without a "textchanged" notification (that is for the user's edits).
  void SetText(const QString& text) override;
  void SetReadOnly(bool readOnly);
  bool IsReadOnly() const;
  void SetPasswordMode(bool password);
  void SetMaxChar(int maxChar);
  void SetSel(int start, int end);
  void SetSelAll();
  // The line edit itself, for callers that need more (never null).
  QLineEdit* GetLineEdit() const { return edit_; }

  void SetAttribute(const QString& name, const QString& value) override;

 protected:
  void ApplyLook() override;

 private:
  QLineEdit* edit_;  // owned by the base
  QColor tipColor_{0xA0, 0xA4, 0xAC};
};

}  // namespace DuiLib
