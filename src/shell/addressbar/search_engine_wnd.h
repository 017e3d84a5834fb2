#pragma once
// The search-engine chooser ("search_engine"): four engine buttons under the search
// box. Closing gives the engine's index (0 baidu, 1 so, 2 sogou, 3 google), or -1
// for "cancel_btn"; Escape or losing the focus to another window gives
// kResultNone, which changes nothing either.
//
// GUI thread only. The object belongs to the caller, who keeps it until ShowModal
// returns.
#include "ui/window_impl_base.h"

namespace tarvo {

class SearchEngineWnd : public DuiLib::WindowImplBase {
 public:
  static constexpr int kResultCancel = -1;
  // Escape's close code; not an engine.
  static constexpr int kResultNone = 1000;

  // Creates the chooser over `owner` with its top-left corner at `screenTopLeft`,
  // keeping its own size, and runs it modally. Returns the close code.
  int Choose(DuiLib::HWND owner, QPoint screenTopLeft);
  // Where the chooser goes: 3 pixels below the bottom-left corner of the engine
  // button ("se_btn"), given in screen coordinates.
  static QPoint TopLeftUnder(const QRect& engineButtonOnScreen);

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXSearchEngineWnd"); }
  QString GetSkinFile() override { return QStringLiteral("searchengine.xml"); }
  bool ResponseDefaultKeyEvent(DuiLib::WPARAM key) override;
  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                              bool& bHandled) override;

 private:
  void FillTexts();
};

}  // namespace tarvo
