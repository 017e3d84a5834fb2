#include "ui/rich_edit_ui.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <functional>

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

QPlainTextEdit* CRichEditUI::MakeTextEdit(CRichEditUI* owner) {
  auto* edit = new ReturnAwareTextEdit;
  edit->onReturn = [owner] {
    if (owner->wantReturn_) {
      return false;
    }
    owner->Notify(kNotifyReturn);
    return true;
  };
  return edit;
}

CRichEditUI::CRichEditUI()
    : CTextInputUI(MakeTextEdit(this), RECT{4, 4, 4, 4}), edit_(static_cast<QPlainTextEdit*>(Input())) {
  edit_->setFrameShape(QFrame::NoFrame);
  edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QObject::connect(edit_, &QPlainTextEdit::textChanged, edit_, [this] {
    if (!settingText_) Notify(kNotifyTextChanged);
  });
}

void* CRichEditUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("RichEdit"), Qt::CaseInsensitive) == 0) return this;
  return CTextInputUI::GetInterface(name);
}

void CRichEditUI::ApplyLook() {
  CTextInputUI::ApplyLook();
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
    CTextInputUI::SetAttribute(name, value);
  }
  ApplyLook();
}

}  // namespace DuiLib
