#include "shell/pages/page_bus_handler.h"

#include <algorithm>

#include "bus/bus_poller.h"
#include "shell/pages/page.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/pages.h"
#include "url/url_parts.h"

namespace tarvo {

Pages* PageBusHandler::ListOf(const Page* page, const std::vector<Pages*>& lists) {
  for (Pages* pages : lists) {
    if (pages != nullptr && pages->IndexOf(page) >= 0) return pages;
  }
  return nullptr;
}

void PageBusHandler::ApplyAddPage(std::unique_ptr<AddPageRecord> record, const std::vector<Pages*>& lists) {
  if (record->into != nullptr && std::find(lists.begin(), lists.end(), record->into) != lists.end()) {
    record->into->AddPage(std::move(record->page));
  } else if (record->page != nullptr) {
    record->page->Shutdown();
  }
}

void PageBusHandler::ApplyLoading(const PageFlagRecord& record, const std::vector<Pages*>& lists) {
  if (ListOf(record.page, lists) != nullptr) record.page->SetLoading(record.flag != 0);
}

void PageBusHandler::ApplyRedirect(const PageRedirectRecord& record, const std::vector<Pages*>& lists) {
  if (ListOf(record.page, lists) == nullptr) return;
  record.page->SetUrl(record.url, record.redirect != 0);
  record.page->SetIconUrl(GetUrlOrigin(record.url) + u"/favicon.ico");
}

void PageBusHandler::ApplyIconUrl(const PageTextRecord& record, const std::vector<Pages*>& lists) {
  if (ListOf(record.page, lists) != nullptr) record.page->SetIconUrl(record.text);
}

void PageBusHandler::ApplyTitle(const PageTextRecord& record, const std::vector<Pages*>& lists) {
  if (ListOf(record.page, lists) != nullptr) record.page->SetTitle(record.text);
}

void PageBusHandler::Install(BusPoller& poller, Lists lists) {
  poller.On(PageChannels::kAddPage, [lists](auto record) { ApplyAddPage(std::move(record), lists()); });
  poller.On(PageChannels::kIsLoading, [lists](auto record) { ApplyLoading(*record, lists()); });
  poller.On(PageChannels::kTempRedirect, [lists](auto record) { ApplyRedirect(*record, lists()); });
  poller.On(PageChannels::kBecameDownload, [lists](auto record) {
    if (ListOf(record->page, lists()) != nullptr) record->page->WithdrawNavigation(record->text);
  });
  poller.On(PageChannels::kSetIconUrl, [lists](auto record) { ApplyIconUrl(*record, lists()); });
  poller.On(PageChannels::kSetTitle, [lists](auto record) { ApplyTitle(*record, lists()); });
  poller.On(PageChannels::kRendererGone, [lists](auto record) {
    if (ListOf(record->page, lists()) != nullptr) record->page->OnRendererGone();
  });
  poller.On(PageChannels::kClosedByPage, [lists](auto record) {
    if (Pages* list = ListOf(record->page, lists())) list->ClosePage(record->page);
  });
}

}  // namespace tarvo
