#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

typedef struct _GtkWidget GtkWidget;
typedef struct _GdkEventButton GdkEventButton;
typedef union _GdkEvent GdkEvent;

class QWindow;

namespace tarvo::ie {

// A Qt widget that shows one GTK widget (the web view) in its place: the GTK widget
// lives in a plug, a GTK window whose X window is made a child of this widget's
// window. The plug never takes the keyboard from X: this widget takes the focus as
// any Qt widget does (Tab, clicks, the browser's own moves), sees every key first,
// and hands each key and each focus change to GTK within the process. So the address
// bar keeps its keys while the pointer rests over the page, the browser's keys work
// while the page has the focus, and the page's input methods get their keys through
// GTK as in any GTK program.
// Lifetime: owns the plug; the GTK widget goes with it.
// Threads: GUI thread (GTK runs on the same main loop).
class PlugHost : public QWidget {
  Q_OBJECT
 public:
  // Hears each key event before GTK does.
  using KeyListener = std::function<void(const QKeyEvent& event)>;

  // Takes `child` (a floating or owned GTK widget reference) into a new plug.
  PlugHost(GtkWidget* child, QWidget* parent);
  ~PlugHost() override;

  void SetKeyListener(KeyListener listener) { keyListener_ = std::move(listener); }
  // The plug's X window could be wrapped (false on a display GTK does not share).
  bool IsEmbedded() const { return container_ != nullptr; }

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // GTK callbacks (int: gboolean).
  static int OnButtonPress(GtkWidget* widget, GdkEventButton* event, PlugHost* host);
  static void OnRealize(GtkWidget* widget, PlugHost* host);
  void ForwardKey(const QKeyEvent& event);
  void ForwardFocus(bool focused);

  GtkWidget* plug_ = nullptr;   // owned (destroyed in the destructor)
  GtkWidget* child_ = nullptr;  // owned by the plug
  QWidget* container_ = nullptr;  // child widget wrapping the plug's X window
  KeyListener keyListener_;
};

}  // namespace tarvo::ie
