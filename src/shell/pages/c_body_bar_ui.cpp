#include "shell/pages/c_body_bar_ui.h"

#include "ui/paint_manager_ui.h"
#include "ui/ui_window_styles.h"

namespace tarvo {

CBodyBarUI::CBodyBarUI() = default;

CBodyBarUI::~CBodyBarUI() {
  // The hosted widget is the body bar's own: let the slot forget it before it goes.
  SetWidget(nullptr, false);
}

void* CBodyBarUI::GetInterface(const QString& name) {
  if (name == QLatin1String("BodyBar")) return this;
  return CNativeHostUI::GetInterface(name);
}

void CBodyBarUI::DoInit() {
  CNativeHostUI::DoInit();
  if (manager_ == nullptr || bodyBar_->GetHWND() != 0) return;
  bodyBar_->Create(manager_->GetPaintWindow(), QString::fromLatin1(CBodyBar::kName),
                   DuiLib::WS_CHILD | DuiLib::WS_VISIBLE | DuiLib::WS_CLIPCHILDREN, 0);
  SetWidget(bodyBar_->GetWidget(), false);
}

}  // namespace tarvo
