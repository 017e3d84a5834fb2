#pragma once
// A pop-up menu window (class "MenuWndCls") built from a menu skin file at a screen
// point. Item clicks and right clicks go to the owner window's notification handler
// with the item as sender; the menu closes after a click, on Escape, and when the
// focus goes to a window that is not one of its own. It deletes itself when closed.
#include "ui/window_impl_base.h"

namespace DuiLib {

class CMenuElementUI;
class CMenuUI;

class CMenuWnd : public WindowImplBase {
 public:
  CMenuWnd();
  ~CMenuWnd() override;

  // Builds the menu from `skinFile` for the window `owner` (whose manager hears the
  // items) with its top-left corner at `screenPoint`, and shows it. The menu stays
  // on screen (moved left/up when it would leave it). False (and the object is
  // deleted) when the window could not be created.
  bool Init(HWND owner, const QString& skinFile, QPoint screenPoint);
  // The menu's main panel: the root marked major="true" (or the root).
  CMenuUI* GetMenuUI() const;
  // Sizes the window to the main panel's fixed size and keeps it on screen; call
  // after adding items at run time (also done before every paint).
  void ResizeMenu();

  // Called by items.
  void OnItemClicked(CMenuElementUI* item);
  void OnItemRightClicked(CMenuElementUI* item);

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("MenuWndCls"); }
  QString GetSkinFile() override { return skinFile_; }
  LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  void OnFinalMessage(HWND hwnd) override;
  void OnNativePaint(QPainter& painter, const QRect& dirty) override;

 private:
  CPaintManagerUI* OwnerManager() const;
  bool IsOwnWindow(HWND hwnd) const;

  HWND owner_ = 0;
  QString skinFile_;
  QPoint anchor_;
};

}  // namespace DuiLib
