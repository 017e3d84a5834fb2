#include "account/windows/cv_node_list_wnd.h"

#include <algorithm>

#include "account/windows/node_list_rows.h"
#include "ui/list_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

void CVNodeListWnd::Notify(DuiLib::TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyClick) {
    if (name == QLatin1String(NodeListRows::kRowButton)) {
      // Closed first: the choice may open another window.
      const QString id = msg.pSender->GetUserData();
      Close(DuiLib::IDOK);
      if (chosen_) chosen_(id);
    } else if (name == QLatin1String("cancel_btn")) {
      Close(DuiLib::IDCANCEL);
    }
  }
  WindowImplBase::Notify(msg);
}

void CVNodeListWnd::Fill() {
  auto* list = FindControl<DuiLib::CListUI>(QStringLiteral("node_list"));
  if (list == nullptr) return;
  const int count = static_cast<int>(rows_.size());
  for (auto& row : rows_) list->Add(std::move(row));
  rows_.clear();
  // As tall as its rows, up to kMaxVisibleRows; the list scrolls beyond.
  const QRect placed = GetWindowRect();
  const int height = std::clamp(count, 1, kMaxVisibleRows) * NodeListRows::kRowHeight + 2;
  ResizeClient(placed.width(), height);
}

}  // namespace tarvo
