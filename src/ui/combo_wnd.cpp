#include "ui/combo_wnd.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/combo_ui.h"
#include "ui/list_label_element_ui.h"
#include "ui/list_ui.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {

bool CComboWnd::Open(CWindowWnd* owner) {
  QWidget* ownerWidget = owner != nullptr ? owner->GetWidget() : nullptr;
  if (ownerWidget == nullptr || combo_ == nullptr) {
    delete this;
    return false;
  }
  const QRect rc = combo_->GetPos();
  const QPoint topLeft = ownerWidget->mapToGlobal(rc.bottomLeft() + QPoint(0, 2));
  const SIZE box = combo_->GetDropBoxSize();
  const int rowHeight = QFontMetrics(ownerWidget->font()).height() + 14;
  int height = qMin(box.cy > 0 ? box.cy : 150, combo_->GetCount() * rowHeight + 2);
  const int width = box.cx > 0 ? box.cx : rc.width();
  QRect wanted(topLeft, QSize(width, height));
  if (QScreen* screen = QGuiApplication::screenAt(topLeft)) {
    const QRect area = screen->availableGeometry();
    if (wanted.bottom() > area.bottom()) {
      wanted.moveBottom(ownerWidget->mapToGlobal(rc.topLeft()).y() - 2);
    }
  }
  if (Create(owner->GetHWND(), QString(), WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_ANCHORED_POPUP,
             wanted) == 0) {
    return false;  // OnFinalMessage already ran
  }
  ShowWindow(true, true);
  // The keyboard goes on in the list, at the chosen item.
  if (list_ != nullptr) list_->SetFocus();
  return true;
}

void CComboWnd::DetachCombo() {
  combo_ = nullptr;
  Close(IDCANCEL);
}

void CComboWnd::InitWindow() {
  auto list = std::make_unique<CListUI>();
  list->ApplyAttributeList(QStringLiteral(
      "bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FFD4D8DE\" inset=\"1,1,1,1\""));
  if (combo_ != nullptr) {
    *list->GetListInfo() = *combo_->GetListInfo();
    for (int i = 0; i < combo_->GetCount(); ++i) {
      auto row = std::make_unique<CListLabelElementUI>();
      row->SetText(combo_->GetItemAt(i)->GetText());
      row->SetEnabled(combo_->GetItemAt(i)->IsEnabled());
      list->Add(std::move(row));
    }
  }
  list_ = list.get();
  m_pm.AttachDialog(std::move(list));
  if (combo_ != nullptr) {
    list_->SelectItem(combo_->GetCurSel(), false, false);
  }
}

void CComboWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyItemClick && list_ != nullptr && combo_ != nullptr) {
    const int index = list_->GetItemIndex(msg.pSender);
    if (index >= 0) {
      combo_->SelectItem(index, false, true);
    }
    Close(IDOK);
  }
}

LRESULT CComboWnd::HandleCustomMessage(UINT uMsg, WPARAM, LPARAM, bool& bHandled) {
  if (uMsg == WM_KILLFOCUS) {
    Close(IDCANCEL);
    bHandled = true;
  }
  return 0;
}

void CComboWnd::OnFinalMessage(HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  if (combo_ != nullptr) {
    combo_->OnDropListClosed();
  }
  delete this;
}

}  // namespace DuiLib
