#include "ui/edit_ui.h"

#include <QIntValidator>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "ui/native_widget_slot.h"
#include "ui/paint_manager_ui.h"
#include "ui/render_engine.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {

CEditUI::CEditUI() : slot_(std::make_unique<CNativeWidgetSlot>(this)), edit_(new QLineEdit) {
  textPadding_ = RECT{6, 0, 6, 0};
  edit_->setFrame(false);
  edit_->setAttribute(Qt::WA_MacShowFocusRect, false);
  QObject::connect(edit_, &QLineEdit::textEdited, edit_, [this](const QString&) { Notify(kNotifyTextChanged); });
  QObject::connect(edit_, &QLineEdit::returnPressed, edit_, [this] { Notify(kNotifyReturn); });
  slot_->SetWidget(edit_);
}

CEditUI::~CEditUI() = default;

void* CEditUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Edit"), Qt::CaseInsensitive) == 0) return this;
  return CLabelUI::GetInterface(name);
}

void CEditUI::DoInit() {
  ApplyLook();
  slot_->Attach();
}

void CEditUI::ApplyLook() {
  edit_->setFont(ResolveFont(font_));
  QPalette palette = edit_->palette();
  palette.setColor(QPalette::Base, Qt::transparent);
  palette.setColor(QPalette::Window, Qt::transparent);
  palette.setColor(QPalette::Text, EffectiveTextColor(QColor()));
  palette.setColor(QPalette::PlaceholderText, tipColor_);
  edit_->setPalette(palette);
  edit_->setAutoFillBackground(false);
  edit_->setAlignment(Qt::Alignment((align_ & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter));
}

QString CEditUI::GetText() const { return edit_->text(); }

void CEditUI::SetText(const QString& text) {
  text_ = text;
  if (edit_->text() != text) {
    edit_->setText(text);
  }
}

void CEditUI::SetReadOnly(bool readOnly) { edit_->setReadOnly(readOnly); }

bool CEditUI::IsReadOnly() const { return edit_->isReadOnly(); }

void CEditUI::SetPasswordMode(bool password) {
  edit_->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
}

void CEditUI::SetMaxChar(int maxChar) { edit_->setMaxLength(qMax(1, maxChar)); }

void CEditUI::SetSel(int start, int end) {
  if (end < 0) end = edit_->text().size();
  edit_->setSelection(start, end - start);
}

void CEditUI::SetSelAll() { edit_->selectAll(); }

void CEditUI::SetPos(const QRect& rc) {
  CLabelUI::SetPos(rc);
  QRect inner = rc.marginsRemoved(ToMargins(textPadding_));
  inner = inner.adjusted(borderSize_, borderSize_, -borderSize_, -borderSize_);
  slot_->SetGeometry(inner);
  slot_->SetShown(IsVisible());
}

void CEditUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  slot_->SetShown(IsVisible());
}

void CEditUI::SetInternVisible(bool visible) {
  CLabelUI::SetInternVisible(visible);
  slot_->SetShown(IsVisible());
}

void CEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  edit_->setEnabled(enabled);
  ApplyLook();
}

void CEditUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UIEvent::kSetFocus:
      CLabelUI::DoEvent(event);
      if (!edit_->hasFocus() && edit_->isVisible()) {
        edit_->setFocus(Qt::OtherFocusReason);
      }
      return;
    case UIEvent::kKillFocus:
      CLabelUI::DoEvent(event);
      if (edit_->hasFocus() && manager_ != nullptr && manager_->GetHostWidget() != nullptr) {
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

void CEditUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("readonly")) {
    if (auto b = CAttributeParser::ParseBool(value)) SetReadOnly(*b);
  } else if (n == QLatin1String("password")) {
    if (auto b = CAttributeParser::ParseBool(value)) SetPasswordMode(*b);
  } else if (n == QLatin1String("maxchar")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetMaxChar(*v);
  } else if (n == QLatin1String("numberonly")) {
    if (CAttributeParser::ParseBool(value).value_or(false)) {
      edit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_));
    } else {
      edit_->setValidator(nullptr);
    }
  } else if (n == QLatin1String("tipvalue")) {
    edit_->setPlaceholderText(value);
  } else if (n == QLatin1String("tipvaluecolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) tipColor_ = *c;
  } else {
    CLabelUI::SetAttribute(name, value);
  }
  ApplyLook();
}

void CEditUI::PaintText(QPainter&) {
  // The line edit draws the text itself.
}

void CEditUI::PaintBorder(QPainter& painter) {
  // Focus shows on the border: the focus colour when the skin gives one.
  const bool focused = edit_->hasFocus();
  const QColor& color = focused && focusBorderColor_.isValid() ? focusBorderColor_ : borderColor_;
  CRenderEngine::DrawBorder(painter, rcItem_, borderSize_, color, borderRound_);
}

}  // namespace DuiLib
