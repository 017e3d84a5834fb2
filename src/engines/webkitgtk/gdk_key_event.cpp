#include "engines/webkitgtk/gdk_key_event.h"

#include <QKeyEvent>

#include "engines/webkitgtk/gtk_headers.h"

namespace tarvo::ie {

namespace {

// Qt keys without text and the GDK keys they stand for.
guint KeyvalOfQtKey(int key) {
  if (key >= Qt::Key_F1 && key <= Qt::Key_F35) return GDK_KEY_F1 + static_cast<guint>(key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Escape: return GDK_KEY_Escape;
    case Qt::Key_Tab: return GDK_KEY_Tab;
    case Qt::Key_Backtab: return GDK_KEY_ISO_Left_Tab;
    case Qt::Key_Backspace: return GDK_KEY_BackSpace;
    case Qt::Key_Return: return GDK_KEY_Return;
    case Qt::Key_Enter: return GDK_KEY_KP_Enter;
    case Qt::Key_Insert: return GDK_KEY_Insert;
    case Qt::Key_Delete: return GDK_KEY_Delete;
    case Qt::Key_Home: return GDK_KEY_Home;
    case Qt::Key_End: return GDK_KEY_End;
    case Qt::Key_Left: return GDK_KEY_Left;
    case Qt::Key_Up: return GDK_KEY_Up;
    case Qt::Key_Right: return GDK_KEY_Right;
    case Qt::Key_Down: return GDK_KEY_Down;
    case Qt::Key_PageUp: return GDK_KEY_Page_Up;
    case Qt::Key_PageDown: return GDK_KEY_Page_Down;
    case Qt::Key_Shift: return GDK_KEY_Shift_L;
    case Qt::Key_Control: return GDK_KEY_Control_L;
    case Qt::Key_Alt: return GDK_KEY_Alt_L;
    case Qt::Key_Meta: return GDK_KEY_Super_L;
    case Qt::Key_Space: return GDK_KEY_space;
    default: return 0;
  }
}

guint StateOfModifiers(Qt::KeyboardModifiers modifiers) {
  guint state = 0;
  if (modifiers & Qt::ShiftModifier) state |= GDK_SHIFT_MASK;
  if (modifiers & Qt::ControlModifier) state |= GDK_CONTROL_MASK;
  if (modifiers & Qt::AltModifier) state |= GDK_MOD1_MASK;
  if (modifiers & Qt::MetaModifier) state |= GDK_SUPER_MASK;
  return state;
}

// Fills keyval, state, key code and group of a key made inside the process.
bool RebuildKey(const QKeyEvent& event, GdkKeymap* keymap, GdkEventKey& key) {
  guint keyval = KeyvalOfQtKey(event.key());
  if (keyval == 0 && !event.text().isEmpty()) keyval = gdk_unicode_to_keyval(event.text().at(0).unicode());
  if (keyval == 0 && event.key() >= Qt::Key_Space && event.key() <= Qt::Key_AsciiTilde) {
    keyval = gdk_unicode_to_keyval(QChar(event.key()).toLower().unicode());
  }
  if (keyval == 0) return false;
  key.keyval = keyval;
  key.state = StateOfModifiers(event.modifiers());
  GdkKeymapKey* entries = nullptr;
  gint count = 0;
  if (gdk_keymap_get_entries_for_keyval(keymap, keyval, &entries, &count) && count > 0) {
    key.hardware_keycode = static_cast<guint16>(entries[0].keycode);
    key.group = static_cast<guint8>(entries[0].group);
  }
  g_free(entries);
  return true;
}

}  // namespace

GdkEvent* NewGdkKeyEvent(const QKeyEvent& event, GdkWindow* window) {
  GdkDisplay* display = gdk_window_get_display(window);
  GdkKeymap* keymap = gdk_keymap_get_for_display(display);
  GdkEvent* gdk = gdk_event_new(event.type() == QEvent::KeyPress ? GDK_KEY_PRESS : GDK_KEY_RELEASE);
  GdkEventKey& key = gdk->key;
  key.window = GDK_WINDOW(g_object_ref(window));
  key.send_event = FALSE;
  key.time = static_cast<guint32>(event.timestamp());
  bool known = false;
  if (event.nativeScanCode() != 0) {
    key.hardware_keycode = static_cast<guint16>(event.nativeScanCode());
    key.state = event.nativeModifiers();
    // The keyboard group (layout) travels in bits 13 and 14 of the X state.
    key.group = static_cast<guint8>((event.nativeModifiers() >> 13) & 3);
    known = gdk_keymap_translate_keyboard_state(keymap, key.hardware_keycode, static_cast<GdkModifierType>(key.state),
                                                key.group, &key.keyval, nullptr, nullptr, nullptr);
  }
  if (!known) known = RebuildKey(event, keymap, key);
  if (!known) {
    gdk_event_free(gdk);
    return nullptr;
  }
  key.is_modifier = event.key() >= Qt::Key_Shift && event.key() <= Qt::Key_Alt;
  gdk_event_set_device(gdk, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
  return gdk;
}

}  // namespace tarvo::ie
