#pragma once
// The start-up splash ("first.xml"): the current language's picture, kept above
// other windows until the main window has reached its working size. It polls its
// may-close flag every 200 ms and closes itself once the flag is set.
//
// GUI thread only (widgets cannot live elsewhere in Qt); it is modeless so the main
// window builds and loads its first page while the splash shows. The flag itself
// is atomic and may be set from any thread. The owner keeps the object alive until
// the process ends; closing destroys only the native window.
#include <atomic>

#include "ui/window_impl_base.h"

namespace tarvo {

class FirstWnd : public DuiLib::WindowImplBase {
 public:
  static constexpr unsigned kCloseTimerId = 1;
  static constexpr unsigned kCloseTimerMs = 200;

  // Creates the native window centred on the screen and shows it. False when the
  // skin cannot be built.
  bool Open();
  // Lets the splash close at its next timer tick. Any thread; idempotent.
  void SetMayClose() { mayClose_.store(true); }
  bool IsOpen() const { return GetHWND() != 0; }

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXFirstWnd"); }
  QString GetSkinFile() override { return QStringLiteral("first.xml"); }
  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                      bool& bHandled) override;
  // The splash stays until the main window is ready; Escape does not close it.
  bool ResponseDefaultKeyEvent(DuiLib::WPARAM) override { return false; }

 private:
  std::atomic<bool> mayClose_ = false;
};

}  // namespace tarvo
