#pragma once
// A single-line text field: a real line edit placed inside the control (inside its
// text padding), so typing, selection, clipboard and input methods work as everywhere
// else on the desktop. Sends "textchanged" on each user edit, "return" on Enter,
// "setfocus"/"killfocus" as the focus comes and goes.
#include <memory>

#include "ui/label_ui.h"

class QLineEdit;

namespace DuiLib {

class CNativeWidgetSlot;

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  ~CEditUI() override;
  QString GetClass() const override { return QStringLiteral("EditUI"); }
  void* GetInterface(const QString& name) override;
  bool IsClickable() const override { return true; }
  bool IsFocusable() const override { return true; }

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

  void SetPos(const QRect& rc) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enabled = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintText(QPainter& painter) override;
  void PaintBorder(QPainter& painter) override;

 protected:
  void DoInit() override;

 private:
  void ApplyLook();
  std::unique_ptr<CNativeWidgetSlot> slot_;
  QLineEdit* edit_ = nullptr;  // owned by slot_
  QColor tipColor_{0xA0, 0xA4, 0xAC};
};

}  // namespace DuiLib
