#pragma once

#include <QRect>
#include <QString>

#include "ui/window_impl_base.h"

namespace tarvo {

// A short note under the VPN shield ("KXVpnNoticeWnd", "vpnnotice.xml"), shown without
// taking the focus and closed by its button or by itself after kShownMs: it tells
// the user that the open pages were reloaded when the VPN came on.
//
// GUI thread. Created with new; owns itself from Show on.
class VpnNoticeWnd : public DuiLib::WindowImplBase {
 public:
  static constexpr int kShownMs = 8000;

  // Shows `text` over `owner`, its right edge under the right edge of `anchor` (the
  // shield, in screen coordinates). False when the window could not be made.
  static bool Show(DuiLib::HWND owner, const QRect& anchor, const QString& text);

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXVpnNoticeWnd"); }
  QString GetSkinFile() override { return QStringLiteral("vpnnotice.xml"); }
  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                      bool& bHandled) override;
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  explicit VpnNoticeWnd(QString text) : text_(std::move(text)) {}

  QString text_;
};

}  // namespace tarvo
