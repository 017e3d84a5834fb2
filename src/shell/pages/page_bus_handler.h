#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "shell/pages/page_records.h"

namespace tarvo {

class BusPoller;
class Page;
class Pages;

// Applies the page reports of the bus ("mainwnd/pages/addpage" and the
// "mainwnd/page/..." records) to the page list that holds their page, among the
// lists of the open windows: a report for a page no list holds (closed in the
// meantime) is dropped without touching the page, and a new page for a window that
// is gone is shut down. Every payload is freed.
//
// Threads: the main windows' thread only.
class PageBusHandler {
 public:
  // The page lists of the open windows, asked at each report.
  using Lists = std::function<std::vector<Pages*>()>;

  // Installs the handlers of the page-report channels on `poller`.
  static void Install(BusPoller& poller, Lists lists);

  // What each handler does with its record, given the open lists.
  static void ApplyAddPage(std::unique_ptr<AddPageRecord> record, const std::vector<Pages*>& lists);
  static void ApplyLoading(const PageFlagRecord& record, const std::vector<Pages*>& lists);
  static void ApplyRedirect(const PageRedirectRecord& record, const std::vector<Pages*>& lists);
  static void ApplyIconUrl(const PageTextRecord& record, const std::vector<Pages*>& lists);
  static void ApplyTitle(const PageTextRecord& record, const std::vector<Pages*>& lists);

  // The list among `lists` that holds `page`, or nullptr.
  static Pages* ListOf(const Page* page, const std::vector<Pages*>& lists);
};

}  // namespace tarvo
