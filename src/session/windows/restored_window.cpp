#include "session/windows/restored_window.h"

#include "shell/pages/page.h"
#include "shell/pages/pages.h"

namespace tarvo {

void RestoredWindow::Start(Pages& pages, const SavedWindow& saved) {
  Page* selected = nullptr;
  for (size_t i = 0; i < saved.tabs.size(); ++i) {
    const SavedTab& tab = saved.tabs[i];
    const int engine = tab.engineType == Page::kEngineIe ? Page::kEngineIe : Page::kEngineChromium;
    Page* page = pages.AddUnloadedPage(engine, Utf8ToWide(tab.url), Utf8ToWide(tab.title), tab.zoomLevel);
    if (tab.pinned) pages.PinPage(page, true);
    if (static_cast<int>(i) == saved.selected) selected = page;
  }
  if (selected == nullptr) selected = pages.PageAt(0);
  if (selected != nullptr) pages.SelectPage(selected);
}

}  // namespace tarvo
