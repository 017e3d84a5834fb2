#include "passwords/windows/account_chooser_wnd.h"

#include <QWidget>
#include <algorithm>

#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {
constexpr char kRowName[] = "accountchooser/account";
constexpr int kFrame = 10;  // the list's top and bottom inset
}  // namespace

bool AccountChooserWnd::Open(DuiLib::HWND owner, const QRect& field, std::vector<QString> usernames,
                             std::function<void(size_t)> picked, std::function<void()> closed) {
  if (usernames.empty() || !field.isValid()) return false;
  auto* window = new AccountChooserWnd(std::max(field.width(), kMinWidth), std::move(usernames), std::move(picked),
                                       std::move(closed));
  return window->Popup(owner, field.bottomLeft() + QPoint(0, 2));
}

AccountChooserWnd::AccountChooserWnd(int width, std::vector<QString> usernames, std::function<void(size_t)> picked,
                                     std::function<void()> closed)
    : width_(width), usernames_(std::move(usernames)), picked_(std::move(picked)), closed_(std::move(closed)) {}

void AccountChooserWnd::InitWindow() {
  auto* list = FindControl<DuiLib::CVerticalLayoutUI>(QStringLiteral("accountchooser/list"));
  if (list == nullptr) return;
  const QString look = GetPaintManager().GetDefaultAttributeList(QStringLiteral("Button"));
  for (size_t i = 0; i < usernames_.size(); ++i) {
    auto row = std::make_unique<DuiLib::CButtonUI>();
    row->ApplyAttributeList(look);
    row->SetName(QLatin1String(kRowName));
    row->SetAttribute(QStringLiteral("normalimage"), QStringLiteral("file='Dialog\\key.png' dest='10,6,32,28'"));
    row->SetText(usernames_[i]);
    row->SetToolTip(usernames_[i]);
    row->SetTag(static_cast<std::intptr_t>(i));
    list->Add(std::move(row));
  }
  list->EnableScrollBar(true, false);
  const int rows = std::min(static_cast<int>(usernames_.size()), kMostRowsShown);
  if (QWidget* widget = GetWidget()) widget->resize(width_, rows * kRowHeight + kFrame);
}

void AccountChooserWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr &&
      msg.pSender->GetName() == QLatin1String(kRowName)) {
    const auto index = static_cast<size_t>(msg.pSender->GetTag());
    // Picked once: the window closes right after.
    if (auto picked = std::exchange(picked_, nullptr)) picked(index);
    Close(DuiLib::IDOK);
    return;
  }
  PopupWnd::Notify(msg);
}

void AccountChooserWnd::OnFinalMessage(DuiLib::HWND hwnd) {
  if (auto closed = std::exchange(closed_, nullptr)) closed();
  PopupWnd::OnFinalMessage(hwnd);
}

}  // namespace tarvo
