#include "ui/edit_ui.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "ui/ui_notify_types.h"

namespace DuiLib {

CEditUI::CEditUI() : CTextInputUI(new QLineEdit, RECT{6, 0, 6, 0}), edit_(static_cast<QLineEdit*>(Input())) {
  edit_->setFrame(false);
  QObject::connect(edit_, &QLineEdit::textEdited, edit_, [this](const QString&) { Notify(kNotifyTextChanged); });
  QObject::connect(edit_, &QLineEdit::returnPressed, edit_, [this] { Notify(kNotifyReturn); });
}

void* CEditUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Edit"), Qt::CaseInsensitive) == 0) return this;
  return CTextInputUI::GetInterface(name);
}

void CEditUI::ApplyLook() {
  CTextInputUI::ApplyLook();
  QPalette palette = edit_->palette();
  palette.setColor(QPalette::PlaceholderText, tipColor_);
  edit_->setPalette(palette);
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
    CTextInputUI::SetAttribute(name, value);
  }
  ApplyLook();
}

}  // namespace DuiLib
