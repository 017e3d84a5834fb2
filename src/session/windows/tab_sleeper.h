#pragma once
// Puts background tabs to sleep in every main window: at each check (a quarter of
// the delay, at most every 30 seconds) it reads the user's setting again, so a
// change applies at once, and takes each tab through the rest policy: a Chromium
// page is frozen and later discarded through the engine's page life-cycle, a
// compatibility page is let go with its address, title and history kept. Before
// an awake page rests, the page is asked whether the user typed into it; one that
// says so (or never answers) stays as it is. Selecting a tab wakes it (Page::Activate).
// The check after one that discarded pages hands their freed memory back to the
// system.
//
// Threads: the GUI thread. Lifetime: shared by the windows' hooks, so it lives as
// long as the windows' group keeps them.
#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

#include "session/tab_rest_policy.h"
#include "shell/pages/i_tab_body.h"

namespace tarvo {

struct FeatureHooks;
class Page;
class Pages;

class TabSleeper : public QObject {
 public:
  // The page lists of the open windows (non-owning), asked at every check.
  using Lists = std::function<std::vector<Pages*>()>;

  explicit TabSleeper(Lists lists);

  // Follows the group's windows once the first one is built.
  static void Register(FeatureHooks& hooks);
  // Starts the checks (again: nothing).
  void Start();
  // Looks at every tab of every window now.
  void Check();

 private:
  // The page is still listed in one of the windows and not in front there.
  bool InBackground(const Page* page) const;
  // Rests the page and remembers a discard, whose freed memory the next check returns.
  void PutToRest(Page* page, BodyRest rest);

  Lists lists_;
  QTimer timer_;
  bool discarded_ = false;  // pages were discarded since the last check
};

}  // namespace tarvo
