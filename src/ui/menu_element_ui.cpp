#include "ui/menu_element_ui.h"

#include "ui/menu_wnd.h"
#include "ui/paint_manager_ui.h"
#include "ui/render_engine.h"

namespace DuiLib {
namespace {

CMenuWnd* MenuOf(CPaintManagerUI* manager) {
  return manager != nullptr ? dynamic_cast<CMenuWnd*>(manager->GetWindow()) : nullptr;
}

}  // namespace

void* CMenuElementUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("MenuElement"), Qt::CaseInsensitive) == 0) return this;
  return CListContainerElementUI::GetInterface(name);
}

SIZE CMenuElementUI::EstimateSize(SIZE available) {
  SIZE sz = CListContainerElementUI::EstimateSize(available);
  if (sz.cy == 0) sz.cy = 30;
  return sz;
}

void CMenuElementUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("command"), Qt::CaseInsensitive) == 0) {
    SetCommand(value);
    return;
  }
  CListContainerElementUI::SetAttribute(name, value);
}

void CMenuElementUI::PaintText(QPainter& painter) {
  // An item with a text of its own (no child row) draws it like a list label.
  if (GetCount() > 0 || text_.isEmpty()) {
    return;
  }
  QColor color = manager_ != nullptr ? (IsEnabled() ? manager_->GetDefaultFontColor()
                                                    : manager_->GetDefaultDisabledColor())
                                     : QColor(Qt::black);
  CRenderEngine::DrawText(painter, rcItem_.adjusted(12, 0, -12, 0), text_, color, ResolveFont(-1),
                          Qt::AlignLeft | Qt::AlignVCenter, true);
}

void CMenuElementUI::OnItemClick(const TEventUI&) {
  if (!IsClickableItem()) return;
  if (CMenuWnd* menu = MenuOf(manager_)) {
    menu->OnItemClicked(this);
  }
}

void CMenuElementUI::OnItemRightClick(const TEventUI&) {
  if (!IsClickableItem()) return;
  if (CMenuWnd* menu = MenuOf(manager_)) {
    menu->OnItemRightClicked(this);
  }
}

}  // namespace DuiLib
