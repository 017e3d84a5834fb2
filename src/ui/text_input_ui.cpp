#include "ui/text_input_ui.h"

#include <QWidget>

#include "ui/native_widget_slot.h"
#include "ui/paint_manager_ui.h"
#include "ui/render_engine.h"

namespace DuiLib {

CTextInputUI::CTextInputUI(QWidget* input, RECT textPadding)
    : slot_(std::make_unique<CNativeWidgetSlot>(this)), input_(input) {
  textPadding_ = textPadding;
  input_->setAttribute(Qt::WA_MacShowFocusRect, false);
  slot_->SetWidget(input_);
}

CTextInputUI::~CTextInputUI() = default;

void CTextInputUI::DoInit() {
  ApplyLook();
  slot_->Attach();
}

void CTextInputUI::ApplyLook() {
  input_->setFont(ResolveFont(font_));
  QPalette palette = input_->palette();
  palette.setColor(QPalette::Base, Qt::transparent);
  palette.setColor(QPalette::Window, Qt::transparent);
  palette.setColor(QPalette::Text, EffectiveTextColor(QColor()));
  input_->setPalette(palette);
  input_->setAutoFillBackground(false);
}

void CTextInputUI::SetPos(const QRect& rc) {
  CLabelUI::SetPos(rc);
  QRect inner = rc.marginsRemoved(ToMargins(textPadding_));
  inner = inner.adjusted(borderSize_, borderSize_, -borderSize_, -borderSize_);
  slot_->SetGeometry(inner);
  slot_->SetShown(IsVisible());
}

void CTextInputUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  slot_->SetShown(IsVisible());
}

void CTextInputUI::SetInternVisible(bool visible) {
  CLabelUI::SetInternVisible(visible);
  slot_->SetShown(IsVisible());
}

void CTextInputUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  input_->setEnabled(enabled);
  ApplyLook();
}

void CTextInputUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UIEvent::kSetFocus:
      CLabelUI::DoEvent(event);
      if (!input_->hasFocus() && input_->isVisible()) {
        // Reached by Tab, a field selects its text, as fields do everywhere.
        const bool byKeyboard = manager_ != nullptr && manager_->IsKeyboardFocus();
        input_->setFocus(byKeyboard ? Qt::TabFocusReason : Qt::OtherFocusReason);
      }
      return;
    case UIEvent::kKillFocus:
      CLabelUI::DoEvent(event);
      if (input_->hasFocus() && manager_ != nullptr && manager_->GetHostWidget() != nullptr) {
        manager_->GetHostWidget()->setFocus(Qt::OtherFocusReason);
      }
      return;
    case UIEvent::kButtonDown:
      SetFocus();
      return;
    default:
      CLabelUI::DoEvent(event);
  }
}

void CTextInputUI::PaintText(QPainter&) {
  // The input widget draws the text itself.
}

void CTextInputUI::PaintBorder(QPainter& painter) {
  // Focus shows on the border, in the focus colour when the skin gives one.
  const QColor& color = input_->hasFocus() && focusBorderColor_.isValid() ? focusBorderColor_ : borderColor_;
  CRenderEngine::DrawBorder(painter, rcItem_, borderSize_, color, borderRound_);
}

}  // namespace DuiLib
