#pragma once
// GTK, its X11 parts and WebKitGTK for the compatibility engine's module, the only
// code that includes them. Include this after every Qt header of the file: X11's
// headers define macros (KeyPress, FocusIn, None, Bool, ...) that are names in Qt's,
// so they are taken back here.
#include <gtk/gtk.h>
#include <gtk/gtkx.h>
#include <webkit2/webkit2.h>

#undef Bool
#undef CursorShape
#undef Expose
#undef FocusIn
#undef FocusOut
#undef FontChange
#undef KeyPress
#undef KeyRelease
#undef None
#undef Status
#undef Unsorted
