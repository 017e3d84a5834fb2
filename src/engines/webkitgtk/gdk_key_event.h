#pragma once

class QKeyEvent;
typedef struct _GdkWindow GdkWindow;
typedef union _GdkEvent GdkEvent;

namespace tarvo::ie {

// The GDK key event for a Qt key event, addressed to `window` (a new GdkEvent the
// caller frees with gdk_event_free). Keys from the display carry the X key code and
// state, which are kept as they are, so GTK's input methods see exactly what the
// user typed; keys made up inside the process (no key code) are rebuilt from the
// Qt key and text. nullptr for events GTK has no key for.
GdkEvent* NewGdkKeyEvent(const QKeyEvent& event, GdkWindow* window);

}  // namespace tarvo::ie
