#include "shell/addressbar/c_address_edit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "platform/text.h"
#include "shell/commands/command_table.h"
#include "shell/commands/post_command.h"
#include "ui/key_codes.h"

namespace tarvo {

CAddressEdit::CAddressEdit(DuiLib::HWND parentWindow, QWidget* host, KeyForwarder forwardKey)
    : parentWindow_(parentWindow), forwardKey_(std::move(forwardKey)) {
  auto* edit = new QLineEdit(host);
  edit_ = edit;
  edit->setObjectName(QStringLiteral("AddressEditNative"));
  edit->setFrame(false);
  // The skin draws the field's rounded background; the edit only carries the text.
  edit->setAttribute(Qt::WA_TranslucentBackground);
  edit->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; }"));
  // Focus only by a click or on request: a window that gives its first field the
  // focus when it opens would otherwise keep every page address out of the bar.
  edit->setFocusPolicy(Qt::ClickFocus);
  edit->installEventFilter(this);
}

CAddressEdit::~CAddressEdit() {
  if (edit_) {
    edit_->removeEventFilter(this);
    delete edit_.data();
  }
}

QLineEdit* CAddressEdit::GetEdit() const {
  return qobject_cast<QLineEdit*>(edit_.data());
}

unsigned CAddressEdit::CommandForKey(const QKeyEvent& key) {
  return CommandTable::ForKey(KeyScope::kAddressBar, DuiLib::VirtualKeyFromQtKey(key.key()),
                              DuiLib::KeyModifierBits(key.modifiers()));
}

bool CAddressEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched != edit_.data()) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (CommandForKey(*key) != 0) return true;  // acted on at release
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return true;
      return forwardKey_ ? forwardKey_(key) : false;
    }
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      return !key->isAutoRepeat() && OnKeyRelease(*key);
    }
    case QEvent::FocusOut:
      selectAllDone_ = false;
      return false;
    case QEvent::MouseButtonRelease: {
      const auto button = static_cast<QMouseEvent*>(event)->button();
      return (button == Qt::LeftButton || button == Qt::RightButton) && OnButtonRelease();
    }
    default:
      return false;
  }
}

bool CAddressEdit::OnKeyRelease(const QKeyEvent& key) {
  if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
    PostTypedText();
    return true;
  }
  const unsigned command = CommandForKey(key);
  if (command == 0) return false;
  PostCommand(command);
  return true;
}

bool CAddressEdit::OnButtonRelease() {
  if (selectAllDone_) return false;
  selectAllDone_ = true;
  QLineEdit* edit = GetEdit();
  if (!edit) return false;
  if (!hint_.isEmpty() && edit->text() == hint_) {
    edit->clear();
  }
  edit->selectAll();
  return true;
}

void CAddressEdit::PostCommand(unsigned command) const {
  // The edit has no toolkit handle of its own; 0 names it as the sender.
  tarvo::PostCommand(parentWindow_, command);
}

void CAddressEdit::PostTypedText() {
  QLineEdit* edit = GetEdit();
  if (!edit) return;
  // Sent: from now on the field follows the page (see CAddressEditUI::SetText).
  edit->setModified(false);
  // The text travels in the queued call, which the event loop owns; it is dropped
  // with the field when the window goes first.
  QMetaObject::invokeMethod(
      this,
      [this, text = edit->text().toStdU16String()] {
        if (typed_) typed_(text);
      },
      Qt::QueuedConnection);
}

}  // namespace tarvo
