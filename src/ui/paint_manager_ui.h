#pragma once
// One per window: owns the control tree, lays it out, paints it, turns Qt input into
// control events, tracks focus and hover, and carries the window's fonts, default
// attributes, notification listeners, message filters and accelerator translators.
//
// Threads: GUI thread only.
#include <QColor>
#include <QFont>
#include <QHash>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/attribute_parser.h"
#include "ui/ui_defs.h"
#include "ui/ui_interfaces.h"

class QEvent;
class QKeyEvent;
class QPainter;

namespace DuiLib {

class CControlUI;
class CWindowWnd;

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // Binds the manager to its window (whose native widget it paints). The window
  // outlives the manager's use of it.
  void Init(CWindowWnd* window);
  CWindowWnd* GetWindow() const { return window_; }
  QWidget* GetHostWidget() const;
  HWND GetPaintWindow() const;

  // Takes the root of a built control tree; the old tree is released.
  bool AttachDialog(std::unique_ptr<CControlUI> root);
  CControlUI* GetRoot() const { return root_.get(); }
  // Releases the whole tree (controls are freed once the current event is done).
  void ReleaseRoot();

  // Lookup: the first control with this name in tree order, or null.
  CControlUI* FindControl(const QString& name) const;
  CControlUI* FindSubControlByName(CControlUI* parent, const QString& name) const;
  CControlUI* FindControl(QPoint clientPoint) const;

  // Window description from the skin's Window element.
  SIZE GetInitSize() const { return initSize_; }
  void SetInitSize(int cx, int cy) { initSize_ = {cx, cy}; }
  const RECT& GetCaptionRect() const { return caption_; }
  void SetCaptionRect(const RECT& rc) { caption_ = rc; }
  const RECT& GetSizeBox() const { return sizeBox_; }
  void SetSizeBox(const RECT& rc) { sizeBox_ = rc; }
  SIZE GetMinInfo() const { return minInfo_; }
  void SetMinInfo(int cx, int cy) { minInfo_ = {cx, cy}; }
  SIZE GetMaxInfo() const { return maxInfo_; }
  void SetMaxInfo(int cx, int cy) { maxInfo_ = {cx, cy}; }
  void SetWindowAttribute(const QString& name, const QString& value);
  const QColor& GetDefaultFontColor() const { return defaultFontColor_; }
  const QColor& GetDefaultDisabledColor() const { return defaultDisabledColor_; }
  const QColor& GetDefaultSelectedBkColor() const { return defaultSelectedBkColor_; }

  // Fonts by index as declared by <Font id= ...>; index -1 or unknown gives the default.
  void AddFont(int id, const QString& family, int pixelSize, bool bold, bool underline, bool italic,
               bool isDefault);
  QFont GetFont(int id) const;
  QFont GetDefaultFont() const;

  // Default attribute lists per tag (<Default name="Button" value="..."/>).
  void AddDefaultAttributeList(const QString& tag, const QString& list);
  QString GetDefaultAttributeList(const QString& tag) const;

  // Listeners; the caller keeps them alive while registered.
  void AddNotifier(INotifyUI* notifier);
  void RemoveNotifier(INotifyUI* notifier);
  void AddPreMessageFilter(IMessageFilterUI* filter);
  void RemovePreMessageFilter(IMessageFilterUI* filter);
  void AddTranslateAccelerator(ITranslateAccelerator* translator);
  void RemoveTranslateAccelerator(ITranslateAccelerator* translator);

  // Delivers a notification to every listener, at once (or later, from the event loop,
  // when `async`; a sender removed in between is not delivered).
  void SendNotify(CControlUI* sender, const QString& type, WPARAM wParam = 0, LPARAM lParam = 0,
                  bool async = false);
  void SendNotify(TNotifyUI& msg);
  // Runs the message filters; returns the result of the one that handled it.
  LRESULT PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled);
  // Offers a key message to the translators; true when one took it.
  bool TranslateAccelerator(MSG* msg);

  // Focus among controls; sends "killfocus" to the old and "setfocus" to the new one.
  CControlUI* GetFocus() const { return focus_; }
  void SetFocus(CControlUI* control);
  // True while SetFocus is moving Qt's focus (native widgets then stay quiet).
  bool IsChangingFocus() const { return changingFocus_; }
  // Whether the focus last moved by the keyboard: the focused control then shows a
  // focus ring (a click shows none), and a text field reached by Tab selects its text.
  bool IsKeyboardFocus() const { return keyboardFocus_; }
  void SetKeyboardFocus(bool keyboard);
  // The control the keyboard works in now: the focused control, or the one whose
  // native widget holds Qt's focus; null when neither.
  CControlUI* KeyboardControl() const;
  // A control that is being removed: forget every reference to it and its subtree.
  void ReapObjects(CControlUI* control);
  // Frees a removed control once the event being handled is done.
  void AddDelayedCleanup(std::unique_ptr<CControlUI> control);

  // Layout and painting.
  void NeedUpdate();
  void Invalidate(const QRect& rc);
  void Invalidate();
  // Lays out now when something changed (painting calls this too).
  void UpdateLayout();
  void Paint(QPainter& painter, const QRect& dirty);

  // Qt events of the host widget: painting, mouse, wheel, tooltips. True when consumed.
  bool HandleHostEvent(QEvent* event);
  // Key press on the host or a native child: translators, then the window's
  // WM_KEYDOWN, then the focused control. True when something consumed it.
  bool HandleKeyPress(QKeyEvent* event, bool fromNativeChild);
  // Whether `event` is a key press a native child already offered (Qt hands the same
  // event on to the host when the child ignores it).
  // Events are often made on the stack, so a later key pressed on the window itself
  // can come at the same address; a handed-on key also still has its widget focused.
  bool IsKeyFromNativeChild(const QEvent* event) const;

 private:
  void DispatchMouse(QEvent* event);
  void PaintFocusRing(QPainter& painter);
  // The rectangle the focus ring of `control` covers.
  static QRect FocusRingRect(const CControlUI* control);
  void SetHot(CControlUI* control, QPoint pt);
  void FlushCleanup();
  bool ContainsControl(CControlUI* control) const;

  CWindowWnd* window_ = nullptr;  // not owned
  std::unique_ptr<CControlUI> root_;
  std::vector<std::unique_ptr<CControlUI>> delayedCleanup_;
  bool cleanupScheduled_ = false;
  CControlUI* focus_ = nullptr;    // not owned; part of the tree
  CControlUI* hot_ = nullptr;      // not owned; part of the tree
  CControlUI* pushed_ = nullptr;   // not owned; control that took the button press
  CControlUI* rpushed_ = nullptr;  // not owned; control that took the right press
  const QEvent* childKeyEvent_ = nullptr;    // identity only, never dereferenced
  const QWidget* childKeyWidget_ = nullptr;  // identity only: the focus widget it came from
  bool changingFocus_ = false;
  bool keyboardFocus_ = false;
  bool needLayout_ = true;
  QRect laidOutRect_;

  SIZE initSize_;
  RECT caption_;
  RECT sizeBox_;
  SIZE minInfo_;
  SIZE maxInfo_;
  QColor defaultFontColor_{0x33, 0x33, 0x33};
  QColor defaultDisabledColor_{0xA0, 0xA0, 0xA0};
  QColor defaultSelectedBkColor_{0xE8, 0xF0, 0xFE};

  QHash<int, QFont> fonts_;
  int defaultFontId_ = -1;
  QHash<QString, QString> defaultAttributes_;  // lower-case tag -> attribute list
  std::vector<INotifyUI*> notifiers_;
  std::vector<IMessageFilterUI*> preFilters_;
  std::vector<ITranslateAccelerator*> translators_;
  QPointer<QObject> cleanupGuard_;
  std::unique_ptr<QObject> lifeToken_;  // parent of queued calls, so none outlive us
};

}  // namespace DuiLib
