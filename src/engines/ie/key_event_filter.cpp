#include "engines/ie/key_event_filter.h"

#include <QEvent>
#include <QKeyEvent>

#include "engines/ie/accelerator_translator.h"

namespace tarvo::ie {

namespace {
uint32_t VirtualKeyOf(int key) {
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
    return KeyMessage::kVkF1 + static_cast<uint32_t>(key - Qt::Key_F1);
  }
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    return static_cast<uint32_t>(key);  // letters and digits share their codes
  }
  switch (key) {
    case Qt::Key_Escape: return KeyMessage::kVkEscape;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Tab: return 0x09;
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Delete: return 0x2E;
    default: return 0;
  }
}
}  // namespace

std::optional<KeyMessage> KeyEventFilter::MessageOf(const QKeyEvent& event, bool released) {
  KeyMessage message;
  message.message = released ? KeyMessage::kKeyUp : KeyMessage::kKeyDown;
  message.virtual_key = VirtualKeyOf(event.key());
  message.control = (event.modifiers() & Qt::ControlModifier) != 0;
  message.alt = (event.modifiers() & Qt::AltModifier) != 0;
  message.shift = (event.modifiers() & Qt::ShiftModifier) != 0;
  return message;
}

bool KeyEventFilter::eventFilter(QObject* watched, QEvent* event) {
  const bool pressed = event->type() == QEvent::KeyPress;
  const bool released = event->type() == QEvent::KeyRelease;
  if (translator_ == nullptr || (!pressed && !released)) {
    return QObject::eventFilter(watched, event);
  }
  const auto message = MessageOf(*static_cast<QKeyEvent*>(event), released);
  return message && translator_->TranslateAccelerator(*message);
}

}  // namespace tarvo::ie
