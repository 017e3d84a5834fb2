#pragma once
// Full screen for the main window: the window is stretched so that the page area
// covers its screen exactly while the tab strip and toolbar lie above the screen's top
// edge, kept above other windows, and put back where it was (maximised again if it
// was) when full screen ends.
//
// Threads: GUI thread. Lifetime: owned by the main window, which it refers to
// (non-owning) and must not outlive.
#include <QRect>
#include <functional>
#include <optional>

namespace DuiLib {
class CWindowWnd;
}

namespace tarvo {

class FullScreenController {
 public:
  // `pageAreaOnScreen` gives the rectangle of the current page's body window in
  // screen coordinates (empty when there is none; then the window's own top counts).
  FullScreenController(DuiLib::CWindowWnd& window, std::function<QRect()> pageAreaOnScreen)
      : window_(window), pageAreaOnScreen_(std::move(pageAreaOnScreen)) {}

  bool IsActive() const { return active_; }
  // Enters full screen; nothing when already in it.
  void Enter();
  // Leaves full screen; nothing when not in it.
  void Leave();
  void Toggle() { active_ ? Leave() : Enter(); }

  // Where the window goes for full screen: the monitor's left edge and width, its top
  // raised by the height of what lies above the page area, its height grown by the
  // same. Without a monitor, the screen size from (0, 0) with 3 extra pixels of
  // height.
  static QRect TargetRect(const QRect& window, const QRect& pageArea, const std::optional<QRect>& monitor,
                          const QSize& screen);

 private:
  DuiLib::CWindowWnd& window_;
  std::function<QRect()> pageAreaOnScreen_;
  bool active_ = false;
  bool wasMaximised_ = false;
  QRect saved_;
};

}  // namespace tarvo
