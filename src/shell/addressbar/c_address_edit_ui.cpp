#include "shell/addressbar/c_address_edit_ui.h"

#include <QLineEdit>

#include "shell/addressbar/c_address_edit.h"
#include "ui/paint_manager_ui.h"

namespace tarvo {

namespace {
// The field sits below the control's top border: one pixel in, seven down.
constexpr int kNativeOffsetX = 1;
constexpr int kNativeOffsetY = 7;
}  // namespace

CAddressEditUI::CAddressEditUI() = default;

CAddressEditUI::~CAddressEditUI() = default;

void* CAddressEditUI::GetInterface(const QString& name) {
  if (name == QLatin1String("AutoComplEdit")) return this;
  return CLabelUI::GetInterface(name);
}

void CAddressEditUI::DoInit() {
  DuiLib::CPaintManagerUI* manager = GetManager();
  if (manager == nullptr || edit_) return;
  edit_ = std::make_unique<CAddressEdit>(manager->GetPaintWindow(), manager->GetHostWidget(),
                                         [manager](QKeyEvent* key) { return manager->HandleKeyPress(key, true); });
  edit_->SetTypedHandler(typed_);
  QLineEdit* line = edit_->GetEdit();
  line->setFont(GetFont() >= 0 ? manager->GetFont(GetFont()) : manager->GetDefaultFont());
  if (GetTextColor().isValid()) {
    QPalette palette = line->palette();
    palette.setColor(QPalette::Text, GetTextColor());
    line->setPalette(palette);
  }
  line->setText(pendingText_);
  SetPos(GetPos());
  UpdateNativeVisibility();
}

void CAddressEditUI::SetTypedHandler(std::function<void(const WString& typed)> handler) {
  typed_ = std::move(handler);
  if (edit_) edit_->SetTypedHandler(typed_);
}

QString CAddressEditUI::GetText() const {
  if (edit_ && edit_->GetEdit() != nullptr) return edit_->GetEdit()->text();
  return pendingText_;
}

void CAddressEditUI::SetText(const QString& text) {
  QLineEdit* line = edit_ ? edit_->GetEdit() : nullptr;
  if (line == nullptr) {
    pendingText_ = text;
    return;
  }
  if (line->hasFocus() && line->isModified()) return;
  line->setText(text);
  if (line->hasFocus()) {
    // Still in the field after sending an address: what the user types next
    // replaces the page's address, as after the first click.
    line->selectAll();
  } else {
    line->setCursorPosition(0);  // show the start of a long address
  }
}

void CAddressEditUI::SetFocus() {
  // The window's focus comes here first (the control it leaves stops showing it), then
  // the keyboard goes into the field.
  CLabelUI::SetFocus();
  QLineEdit* line = edit_ ? edit_->GetEdit() : nullptr;
  if (line != nullptr && !line->hasFocus()) line->setFocus(Qt::OtherFocusReason);
}

QWidget* CAddressEditUI::GetNativeWidget() const { return edit_ ? edit_->GetEdit() : nullptr; }

void CAddressEditUI::SetPos(const QRect& rc) {
  CLabelUI::SetPos(rc);
  QLineEdit* line = edit_ ? edit_->GetEdit() : nullptr;
  if (line == nullptr) return;
  const QRect field(rc.x() + kNativeOffsetX, rc.y() + kNativeOffsetY, rc.width(), rc.height() - kNativeOffsetY);
  line->setGeometry(field.isValid() ? field : QRect());
}

void CAddressEditUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  UpdateNativeVisibility();
}

void CAddressEditUI::SetInternVisible(bool visible) {
  CLabelUI::SetInternVisible(visible);
  UpdateNativeVisibility();
}

void CAddressEditUI::UpdateNativeVisibility() {
  QLineEdit* line = edit_ ? edit_->GetEdit() : nullptr;
  if (line == nullptr) return;
  if (IsVisible()) {
    // Shown without taking the focus from wherever the user is.
    line->setAttribute(Qt::WA_ShowWithoutActivating);
    line->show();
  } else {
    line->hide();
  }
}

void CAddressEditUI::PaintText(QPainter&) {
  // The native edit draws the text.
}

}  // namespace tarvo
