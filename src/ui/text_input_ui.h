#pragma once
// The shared part of the text fields (CEditUI, CRichEditUI): a real Qt input widget
// placed inside the control's text padding and border, shown with the control, given
// the keyboard focus when the control gets it, and styled from the control's font and
// colours.
#include <memory>

#include "ui/label_ui.h"

class QWidget;

namespace DuiLib {

class CNativeWidgetSlot;

class CTextInputUI : public CLabelUI {
 public:
  ~CTextInputUI() override;
  bool IsClickable() const override { return true; }
  bool IsFocusable() const override { return true; }
  QWidget* GetNativeWidget() const override { return input_; }

  void SetPos(const QRect& rc) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enabled = true) override;
  void DoEvent(TEventUI& event) override;
  void PaintText(QPainter& painter) override;
  void PaintBorder(QPainter& painter) override;

 protected:
  // `input` becomes owned by this control.
  CTextInputUI(QWidget* input, RECT textPadding);
  void DoInit() override;
  // Applies font and colours to the widget; subclasses add their own touches.
  virtual void ApplyLook();
  QWidget* Input() const { return input_; }

 private:
  std::unique_ptr<CNativeWidgetSlot> slot_;
  QWidget* input_;  // owned by slot_
};

}  // namespace DuiLib
