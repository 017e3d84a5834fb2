#pragma once
// The native window of a CWindowWnd: a frameless QWidget that hands its Qt events to
// the window object. The window object creates it and detaches itself before the
// widget is deleted; if Qt deletes the widget first (its parent went away) the window
// object is told.
#include <QWidget>

namespace DuiLib {

class CWindowWnd;

class CWindowHost : public QWidget {
  Q_OBJECT
 public:
  CWindowHost(CWindowWnd* owner, QWidget* parent, Qt::WindowFlags flags);
  ~CWindowHost() override;

  // Stops forwarding events (the window object is closing this widget).
  void Detach() { owner_ = nullptr; }
  CWindowWnd* GetOwner() const { return owner_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  CWindowWnd* owner_;  // not owned; null once detached
};

}  // namespace DuiLib
