#pragma once
// The rows of the download list, built from the designed attribute lists: a running
// row (icon, name, address, status, progress, pause and cancel) for a download that
// has not ended, a stopped row (icon, name, address and the buttons of its end) for
// one that has. Every button carries the record's id as its tag. Names and addresses
// come from the user and the network, so they are set as texts, never spliced into
// an attribute list.
//
// GUI thread only. The rows belong to the list they are added to.
#include <QImage>
#include <memory>

#include "downloads/download_record.h"

namespace DuiLib {
class CControlUI;
}

namespace tarvo {

class DownloadListItems {
 public:
  // The row for `record`: running or stopped by its state.
  static std::unique_ptr<DuiLib::CControlUI> Make(const DownloadRecord& record, const QImage& icon);
  // A running row's new status text, progress and pause caption.
  static void Update(DuiLib::CControlUI& row, const DownloadRecord& record);
  // True for a running row.
  static bool IsRunningRow(const DuiLib::CControlUI& row);
  // The progress value of a record: received × 100 / total, 0 while the total is
  // unknown.
  static int ProgressOf(const DownloadRecord& record);

 private:
  static std::unique_ptr<DuiLib::CControlUI> Running(const DownloadRecord& record, const QImage& icon);
  static std::unique_ptr<DuiLib::CControlUI> Stopped(const DownloadRecord& record, const QImage& icon);
};

}  // namespace tarvo
