#include "ui/rich_edit_ui.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <functional>

#include "ui/native_widget_slot.h"
#include "ui/paint_manager_ui.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {
namespace {

// Lets the control decide about Enter before the text edit inserts a line break.
class ReturnAwareTextEdit : public QPlainTextEdit {
 public:
  std::function<bool()> onReturn;  // true: Enter was taken

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && onReturn && onReturn()) {
      event->accept();
      return;
    }
    QPlainTextEdit::keyPressEvent(event);
  }
};

}  // namespace

CRichEditUI::CRichEditUI() : slot_(std::make_unique<CNativeWidgetSlot>(this)) {
  auto* edit = new ReturnAwareTextEdit;
  edit->onReturn = [this] {
    if (wantReturn_) {
      return false;
    }
    Notify(kNotifyReturn);
    return true;
  };
  edit_ = edit;
  textPadding_ = RECT{4, 4, 4, 4};
  edit_->setFrameShape(QFrame::NoFrame);
  edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QObject::connect(edit_, &QPlainTextEdit::textChanged, edit_, [this] {
    if (!settingText_) Notify(kNotifyTextChanged);
  });
  slot_->SetWidget(edit_);
}

CRichEditUI::~CRichEditUI() = default;

void* CRichEditUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("RichEdit"), Qt::CaseInsensitive) == 0) return this;
  return CLabelUI::GetInterface(name);
}

void CRichEditUI::DoInit() {
  ApplyLook();
  slot_->Attach();
}

void CRichEditUI::ApplyLook() {
  edit_->setFont(ResolveFont(font_));
  QPalette palette = edit_->palette();
  palette.setColor(QPalette::Base, Qt::transparent);
  palette.setColor(QPalette::Text, EffectiveTextColor(QColor()));
  edit_->setPalette(palette);
  edit_->viewport()->setAutoFillBackground(false);
}

QString CRichEditUI::GetText() const { return edit_->toPlainText(); }

void CRichEditUI::SetText(const QString& text) {
  text_ = text;
  if (edit_->toPlainText() != text) {
    settingText_ = true;
    edit_->setPlainText(text);
    settingText_ = false;
  }
}

void CRichEditUI::SetReadOnly(bool readOnly) { edit_->setReadOnly(readOnly); }

void CRichEditUI::SetPos(const QRect& rc) {
  CLabelUI::SetPos(rc);
  QRect inner = rc.marginsRemoved(ToMargins(textPadding_));
  inner = inner.adjusted(borderSize_, borderSize_, -borderSize_, -borderSize_);
  slot_->SetGeometry(inner);
  slot_->SetShown(IsVisible());
}

void CRichEditUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  slot_->SetShown(IsVisible());
}

void CRichEditUI::SetInternVisible(bool visible) {
  CLabelUI::SetInternVisible(visible);
  slot_->SetShown(IsVisible());
}

void CRichEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  edit_->setEnabled(enabled);
}

void CRichEditUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UIEvent::kSetFocus:
      CLabelUI::DoEvent(event);
      if (!edit_->hasFocus() && edit_->isVisible()) edit_->setFocus(Qt::OtherFocusReason);
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

void CRichEditUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("readonly")) {
    if (auto b = CAttributeParser::ParseBool(value)) SetReadOnly(*b);
  } else if (n == QLatin1String("wantreturn")) {
    if (auto b = CAttributeParser::ParseBool(value)) SetWantReturn(*b);
  } else if (n == QLatin1String("multiline")) {
    if (auto b = CAttributeParser::ParseBool(value)) {
      edit_->setLineWrapMode(*b ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
      edit_->setVerticalScrollBarPolicy(*b ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    }
  } else if (n == QLatin1String("tipvalue")) {
    edit_->setPlaceholderText(value);
  } else {
    CLabelUI::SetAttribute(name, value);
  }
  ApplyLook();
}

void CRichEditUI::PaintText(QPainter&) {}

}  // namespace DuiLib
