#pragma once
// Clear browsing data ("history.xml"), under the main window's clear button: six
// options and the exit-clean switch, which is stored the moment it changes. The
// clear button unchecks the chosen options, then every 500 ms clears the next one
// and checks it again, so the user sees them done one by one; the window closes on
// the tick after the last (after one tick when nothing was chosen). Losing the focus
// closes it and stops the clearing where it is.
//
// GUI thread only. Modal; the object lives on the opener's stack.
#include "history/clearing_steps.h"
#include "ui/window_impl_base.h"

namespace tarvo {

class BrowsingDataCleaner;
class UserDatabase;

class HistoryWnd : public DuiLib::WindowImplBase {
 public:
  static constexpr DuiLib::UINT kClearTimer = 1;
  static constexpr DuiLib::UINT kClearStepMs = 500;

  HistoryWnd(BrowsingDataCleaner& cleaner, UserDatabase& database) : cleaner_(cleaner), database_(database) {}

  // Runs the window modally over `owner` with its top-right corner at `topRight`.
  int Run(DuiLib::HWND owner, QPoint topRight);

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXHistoryWnd"); }
  QString GetSkinFile() override { return QStringLiteral("history.xml"); }
  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                      bool& bHandled) override;
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  void Fill();
  void StartClearing();
  void ClearStep();

  BrowsingDataCleaner& cleaner_;
  UserDatabase& database_;
  ClearingSteps steps_;
};

}  // namespace tarvo
