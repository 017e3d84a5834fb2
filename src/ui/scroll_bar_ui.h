#pragma once
// A thin, flat scroll bar drawn over the edge of a scrolling container. Not part of
// the container's children; the container owns it and feeds it mouse events.
#include <QColor>
#include <QPoint>
#include <QRect>

class QPainter;

namespace DuiLib {

class CScrollBarUI {
 public:
  explicit CScrollBarUI(bool horizontal) : horizontal_(horizontal) {}
  ~CScrollBarUI();
  CScrollBarUI(const CScrollBarUI&) = delete;
  CScrollBarUI& operator=(const CScrollBarUI&) = delete;

  void SetRange(int range);  // content beyond the view; 0 hides the bar
  int GetRange() const { return range_; }
  void SetScrollPos(int pos);
  int GetScrollPos() const { return pos_; }
  void SetPos(const QRect& track, int viewLength) {
    track_ = track;
    view_ = viewLength;
  }
  const QRect& GetTrack() const { return track_; }
  bool IsShown() const { return range_ > 0; }
  QRect ThumbRect() const;
  void Paint(QPainter& painter, bool hot) const;
  // Mouse on the bar: press starts a thumb drag (or pages), move drags; true when the
  // scroll position changed.
  bool Press(QPoint pt);
  bool Drag(QPoint pt);
  void Release() { dragging_ = false; }
  bool IsDragging() const { return dragging_; }

  static constexpr int kThickness = 8;

  // The QAccessible::Id of the bar's interface (0 until one is made); the bar frees it.
  unsigned GetAccessibleId() const { return accessibleId_; }
  void SetAccessibleId(unsigned id) { accessibleId_ = id; }

 private:
  bool horizontal_;
  int range_ = 0;
  int pos_ = 0;
  int view_ = 0;
  QRect track_;
  bool dragging_ = false;
  QPoint dragStart_;
  int dragStartPos_ = 0;
  unsigned accessibleId_ = 0;
};

}  // namespace DuiLib
