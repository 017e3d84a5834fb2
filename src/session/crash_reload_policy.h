#pragma once
// When a page whose renderer died may load again by itself. A background tab whose
// renderer died reloads when the user selects it again; but a site whose renderer
// died kDeathsBeforeHolding times within kWindow is left on its crashed-page notice
// (the user's reload button still works), so a page that kills its renderer at once
// cannot keep the browser reloading it. Sites are counted across every window.
//
// Threads: the GUI thread only (the pages report there). Plain logic; the group of
// main windows holds the browser's one and hands it to each window's pages, tests
// make their own.
#include <chrono>
#include <deque>
#include <map>
#include <string>

namespace tarvo {

class CrashReloadPolicy {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kDeathsBeforeHolding = 3;
  static constexpr std::chrono::seconds kWindow{60};

  // A renderer showing `site` died at `when`. True when the page may reload by
  // itself: fewer than kDeathsBeforeHolding deaths on the site within kWindow up to
  // `when`, this one included.
  bool NoteDeath(const std::string& site, Clock::time_point when);

 private:
  std::map<std::string, std::deque<Clock::time_point>> deaths_;  // per site, within the window
};

}  // namespace tarvo
