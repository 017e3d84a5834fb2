#include "app/main_windows.h"

#include <QCoreApplication>
#include <QTimer>

#include "app/engine_body_factory.h"
#include "platform/debug_output.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/main_dui_wnd.h"

namespace tarvo {

namespace {
// Each later window steps this far right and down from the centre, in a cycle.
constexpr int kCascadeStep = 30;
constexpr int kCascadeSteps = 6;
}  // namespace

MainWindows::MainWindows(BrowserWindows& group, ie::LazyCompatProfile& compatProfile, LoginFormEvents& loginForms)
    : group_(group), compatProfile_(compatProfile), loginForms_(loginForms) {
  group_.SetWindowOpener([this](const std::vector<WString>& urls, bool privately) {
    return Open(urls, {}, {}, privately) != nullptr;
  });
  group_.SetClosedHandler([this](IBrowserWindow* window) { Closed(window); });
}

MainWindows::~MainWindows() {
  group_.SetWindowOpener(nullptr);
  group_.SetClosedHandler(nullptr);
  owned_.clear();
}

MainDuiWnd* MainWindows::Open(const std::vector<WString>& urls, std::function<void()> ready,
                              std::function<void(MainDuiWnd&)> startPages, bool privately) {
  auto bodies = privately ? std::make_unique<EngineBodyFactory>(EngineBodyFactory::Private{compatProfile_.Loader()})
                          : std::make_unique<EngineBodyFactory>(compatProfile_, loginForms_);
  auto window = std::make_unique<MainDuiWnd>(group_, std::move(bodies));
  for (const WString& url : urls) window->AddStartUrl(url);
  if (openedAny_) {
    window->SetWorkingSizeDelay(0);
    // The new window is already listed: the others are one fewer.
    const int others = group_.Count() - 1;
    const int step = kCascadeStep * (1 + (others - 1) % kCascadeSteps);
    window->SetPlacementOffset(QPoint(step, step));
  }
  if (ready) window->SetReadyCallback(std::move(ready));
  if (startPages) window->SetStartPages(std::move(startPages));
  if (!window->CreateAndShow()) {
    DebugOutput("main window not opened");
    return nullptr;
  }
  openedAny_ = true;
  owned_.push_back(std::move(window));
  return owned_.back().get();
}

void MainWindows::CloseAll() {
  // A copy: each window leaves the list as it closes.
  std::vector<MainDuiWnd*> open;
  for (const auto& window : owned_) open.push_back(window.get());
  for (MainDuiWnd* window : open) window->Close(0);
}

MainDuiWnd* MainWindows::First() const { return owned_.empty() ? nullptr : owned_.front().get(); }

MainDuiWnd* MainWindows::Owned(const IBrowserWindow* window) const {
  const auto found = std::find_if(owned_.begin(), owned_.end(),
                                  [window](const auto& owned) { return owned.get() == window; });
  return found != owned_.end() ? found->get() : nullptr;
}

void MainWindows::Closed(IBrowserWindow* window) {
  if (group_.Count() == 0) {
    // The last window: the application shuts the engines down and cleans up after
    // the loop, and destroys the window then.
    QCoreApplication::exit(0);
    return;
  }
  // The window is still inside its own message handler: it goes once that returned.
  QTimer::singleShot(0, &lifetime_, [this, window] {
    std::erase_if(owned_, [window](const std::unique_ptr<MainDuiWnd>& owned) { return owned.get() == window; });
  });
}

}  // namespace tarvo
