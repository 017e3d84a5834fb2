#include "shell/pages/page_bus_handler.h"

#include <memory>

#include "settings/settings_registry.h"
#include "bus/bus_keys.h"
#include "bus/bus_string.h"
#include "bus/message_bus.h"
#include "shell/pages/page.h"
#include "shell/pages/page_records.h"
#include "shell/pages/pages.h"
#include "url/url_parts.h"

namespace tarvo {

namespace {

struct BusStringDeleter {
  void operator()(BusString* string) const { BusString::Free(string); }
};

template <class Record>
std::unique_ptr<Record> TakeRecord(uintptr_t payload) {
  return std::unique_ptr<Record>(reinterpret_cast<Record*>(payload));
}

bool Listed(const Page* page) { return Pages::Instance().IndexOf(page) >= 0; }

}  // namespace

bool PageBusHandler::Handle(WStringView key, uintptr_t payload) {
  Pages& pages = Pages::Instance();
  if (key == BusKeys::kTabOpenUrl) {
    std::unique_ptr<BusString, BusStringDeleter> url(reinterpret_cast<BusString*>(payload));
    pages.SetKeepSelected(pages.Current());
    pages.OpenUrlInNewTab(WString(url->View()));
  } else if (key == BusKeys::kTabOpenHome) {
    pages.OpenUrlInNewTab(SettingsRegistry::Instance().Get(u"newpage"));
  } else if (key == BusKeys::kPagesAddPage) {
    pages.AddPage(std::unique_ptr<Page>(reinterpret_cast<Page*>(payload)));
  } else if (key == BusKeys::kPageIsLoading) {
    auto record = TakeRecord<PageFlagRecord>(payload);
    if (Listed(record->page)) record->page->SetLoading(record->flag != 0);
  } else if (key == BusKeys::kPageTempRedirect) {
    auto record = TakeRecord<PageRedirectRecord>(payload);
    if (Listed(record->page)) {
      record->page->SetUrl(record->url, record->redirect != 0);
      record->page->SetIconUrl(GetUrlOrigin(record->url) + u"/favicon.ico");
    }
  } else if (key == BusKeys::kPageSetIconUrl) {
    auto record = TakeRecord<PageTextRecord>(payload);
    if (Listed(record->page)) record->page->SetIconUrl(record->text);
  } else if (key == BusKeys::kPageSetTitle) {
    auto record = TakeRecord<PageTextRecord>(payload);
    if (Listed(record->page)) record->page->SetTitle(record->text);
  } else {
    return false;
  }
  return true;
}

void PageBusHandler::DrainPageChannels() {
  auto& bus = MessageBus::Instance();
  for (WStringView key : {WStringView(BusKeys::kTabOpenUrl), WStringView(BusKeys::kTabOpenHome),
                          WStringView(BusKeys::kPagesAddPage), WStringView(BusKeys::kPageIsLoading),
                          WStringView(BusKeys::kPageTempRedirect), WStringView(BusKeys::kPageSetIconUrl),
                          WStringView(BusKeys::kPageSetTitle)}) {
    while (const uintptr_t payload = bus.Pop(key)) Handle(key, payload);
  }
}

}  // namespace tarvo
