#include "ui/list_label_element_ui.h"

#include <QFontMetrics>

#include "ui/paint_manager_ui.h"
#include "ui/render_engine.h"

namespace DuiLib {

void* CListLabelElementUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("ListLabelElement"), Qt::CaseInsensitive) == 0) return this;
  return CListContainerElementUI::GetInterface(name);
}

SIZE CListLabelElementUI::EstimateSize(SIZE available) {
  SIZE sz = CListContainerElementUI::EstimateSize(available);
  if (sz.cy == 0) {
    const TListInfoUI* info = owner_ != nullptr ? owner_->GetListInfo() : nullptr;
    sz.cy = QFontMetrics(ResolveFont(info != nullptr ? info->font : -1)).height() + 12;
  }
  return sz;
}

void CListLabelElementUI::PaintText(QPainter& painter) {
  const TListInfoUI* info = owner_ != nullptr ? owner_->GetListInfo() : nullptr;
  TListInfoUI defaults;
  if (info == nullptr) info = &defaults;
  QColor color = info->textColor;
  if (!IsEnabled()) color = info->disabledTextColor;
  else if (selected_ && info->selectedTextColor.isValid()) color = info->selectedTextColor;
  else if (hot_ && info->hotTextColor.isValid()) color = info->hotTextColor;
  if (!color.isValid() && manager_ != nullptr) {
    color = IsEnabled() ? manager_->GetDefaultFontColor() : manager_->GetDefaultDisabledColor();
  }
  CRenderEngine::DrawText(painter, rcItem_.marginsRemoved(ToMargins(info->textPadding)), GetText(), color,
                          ResolveFont(info->font), info->align, true);
}

}  // namespace DuiLib
