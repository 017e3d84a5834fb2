#include "engines/webkitgtk/plug_host.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QWindow>

#include "engines/webkitgtk/gdk_key_event.h"
#include "engines/webkitgtk/gtk_headers.h"

#include <X11/Xlib.h>

namespace tarvo::ie {

namespace {

// Gives the keyboard to `window` as of `time`. The display takes a focus change only
// with a time no older than the last one, and Qt, which saw no event of a click that
// GTK received, would ask with an older one; so the window is also focused with the
// click's own time, on Qt's own connection to the display.
void ActivateAsOf(QWidget* window, unsigned long time) {
  window->activateWindow();
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr) return;
  XSetInputFocus(x11->display(), window->winId(), RevertToParent, time);
  XFlush(x11->display());
}

// X delivers a key to the window under the pointer when that window is inside the
// focused one and listens for keys. The plug's windows never listen, so every key
// reaches the browser's own window, which decides where it goes.
void StopListeningForKeys(GdkWindow* window) {
  const auto events = static_cast<GdkEventMask>(gdk_window_get_events(window) &
                                                ~(GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK));
  gdk_window_set_events(window, events);
  GList* children = gdk_window_get_children(window);
  for (GList* child = children; child != nullptr; child = child->next) {
    StopListeningForKeys(GDK_WINDOW(child->data));
  }
  g_list_free(children);
}

// Qt listens on a window it embeds for the keys that reach it, and hands them to the
// embedded window's own QWindow, which no widget receives: keys typed while the
// pointer lies over the page would be lost. Qt's listening stops here (its own
// connection to the display is the one Xlib shares), so they reach the browser's
// window, which hands them to the page.
void StopQtListeningForKeys(WId plugWindow) {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr) return;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(x11->display(), plugWindow, &attributes) == 0) return;
  XSelectInput(x11->display(), plugWindow, attributes.your_event_mask & ~(KeyPressMask | KeyReleaseMask));
  XFlush(x11->display());
}

// A window of the browser's over the page (a menu, a drop-down) went away: GTK
// repaints the plug there but not the page inside it, which would stay blank until
// the page itself changed, so the page `view` is drawn again. (12 is X's Expose, whose
// name the GTK headers' wrapper takes back for Qt.)
GdkFilterReturn RedrawOnExpose(GdkXEvent* xevent, GdkEvent*, gpointer view) {
  constexpr int kXExpose = 12;
  if (static_cast<XEvent*>(xevent)->type == kXExpose) gtk_widget_queue_draw(GTK_WIDGET(view));
  return GDK_FILTER_CONTINUE;
}

// To assistive technology the page is a web document of the window, named by its
// title, focusable and focused with this widget. Made only when one asks.
QAccessibleInterface* PageAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String(PlugHost::staticMetaObject.className()) || !object->isWidgetType()) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::WebDocument);
}

}  // namespace

PlugHost::PlugHost(GtkWidget* child, QWidget* parent) : QWidget(parent), plug_(gtk_plug_new(0)), child_(child) {
  // The module stays loaded once loaded, so the factory outlives every page.
  static const bool kFactoryInstalled = (QAccessible::installFactory(&PageAccessible), true);
  (void)kFactoryInstalled;
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_NoSystemBackground);
  gtk_container_add(GTK_CONTAINER(plug_), child_);
  g_signal_connect(child_, "button-press-event", G_CALLBACK(&PlugHost::OnButtonPress), this);
  // Windows GTK makes later (a view realised again) stop listening for keys too.
  g_signal_connect_after(child_, "realize", G_CALLBACK(&PlugHost::OnRealize), this);
  gtk_widget_show_all(plug_);
  // Inside the plug the page is what takes keys, also before any click into it.
  gtk_widget_grab_focus(child_);
  OnRealize(plug_, this);
  if (GdkWindow* window = gtk_widget_get_window(plug_)) gdk_window_add_filter(window, &RedrawOnExpose, child_);
  const auto id = static_cast<WId>(gtk_plug_get_id(GTK_PLUG(plug_)));
  if (id == 0) return;
  QWindow* window = QWindow::fromWinId(id);
  container_ = QWidget::createWindowContainer(window, this);
  // The container must never take the focus itself: Qt would hand the X focus to the
  // plug, and GTK would then have keys this widget never sees.
  container_->setFocusPolicy(Qt::NoFocus);
  container_->setGeometry(rect());
  StopQtListeningForKeys(id);
}

PlugHost::~PlugHost() {
  g_signal_handlers_disconnect_by_data(child_, this);
  // The plug's X window leaves the browser's windows before anything of Qt goes: a
  // window Qt destroys takes its sub-windows with it, and GTK ends the process over
  // an X error when it then touches a window that is gone.
  if (GdkWindow* window = gtk_widget_get_window(plug_)) {
    gdk_window_remove_filter(window, &RedrawOnExpose, child_);
    GdkDisplay* display = gdk_window_get_display(window);
    Display* x = gdk_x11_display_get_xdisplay(display);
    gdk_x11_display_error_trap_push(display);
    XUnmapWindow(x, gdk_x11_window_get_xid(window));
    XReparentWindow(x, gdk_x11_window_get_xid(window), DefaultRootWindow(x), 0, 0);
    gdk_x11_display_error_trap_pop_ignored(display);
  }
  // Qt forgets the plug's window before GTK destroys it.
  delete container_;
  container_ = nullptr;
  gtk_widget_destroy(plug_);
}

int PlugHost::OnButtonPress(GtkWidget*, GdkEventButton* event, PlugHost* host) {
  // While a dialog of the browser waits for an answer, the page takes no clicks, as
  // no other part of the window does; the dialog comes to the front instead.
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal->window() != host->window()) {
    modal->activateWindow();
    return TRUE;
  }
  // A click into the page puts the keyboard there, as a click into any of the
  // window's own widgets does: the window takes it back from a small window of its
  // own (the find bar) as well as from another program's. The display takes a focus
  // change only with a time no older than the last one: the click's own.
  QWidget* window = host->window();
  if (QApplication::activeWindow() != window) {
    ActivateAsOf(window, event->time);
  }
  host->setFocus(Qt::MouseFocusReason);
  return FALSE;  // the page still gets the click
}

void PlugHost::OnRealize(GtkWidget*, PlugHost* host) {
  if (GdkWindow* window = gtk_widget_get_window(host->plug_)) StopListeningForKeys(window);
}

bool PlugHost::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      // Tab and Backtab included: inside the page they move between the page's fields.
      const auto& key = *static_cast<QKeyEvent*>(event);
      if (keyListener_) keyListener_(key);
      ForwardKey(key);
      return true;
    }
    case QEvent::ShortcutOverride:
      // Every key typed into the page is the page's, before any shortcut of the window.
      event->accept();
      return true;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      ForwardFocus(event->type() == QEvent::FocusIn);
      break;
    case QEvent::Show:
    case QEvent::ParentChange:
      // Qt may listen again when the embedded window is shown or moves to another window.
      if (container_ != nullptr) StopQtListeningForKeys(static_cast<WId>(gtk_plug_get_id(GTK_PLUG(plug_))));
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

void PlugHost::resizeEvent(QResizeEvent* event) {
  if (container_ != nullptr) container_->setGeometry(QRect(QPoint(0, 0), event->size()));
  QWidget::resizeEvent(event);
}

void PlugHost::ForwardKey(const QKeyEvent& event) {
  GdkWindow* window = gtk_widget_get_window(plug_);
  if (window == nullptr) return;
  if (GdkEvent* key = NewGdkKeyEvent(event, window)) {
    gtk_main_do_event(key);
    gdk_event_free(key);
  }
}

void PlugHost::ForwardFocus(bool focused) {
  GdkWindow* window = gtk_widget_get_window(plug_);
  if (window == nullptr) return;
  GdkEvent* focus = gdk_event_new(GDK_FOCUS_CHANGE);
  focus->focus_change.window = GDK_WINDOW(g_object_ref(window));
  focus->focus_change.send_event = TRUE;
  focus->focus_change.in = focused ? TRUE : FALSE;
  gdk_event_set_device(focus, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_window_get_display(window))));
  gtk_main_do_event(focus);
  gdk_event_free(focus);
}

}  // namespace tarvo::ie
