#pragma once
// The base of every control: a light-weight, windowless element that the window's
// paint manager lays out, paints and feeds with input. Controls form a tree owned by
// their containers; the window's paint manager owns the root.
//
// Threads: GUI thread only.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <functional>

#include "ui/attribute_parser.h"
#include "ui/ui_defs.h"
#include "ui/ui_event.h"

class QAccessibleInterface;
class QPainter;
class QWidget;

namespace DuiLib {

class CPaintManagerUI;

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // The class name ("ControlUI") and the interface query by bare name ("Control");
  // subclasses answer their own names first and defer to their base.
  virtual QString GetClass() const;
  virtual void* GetInterface(const QString& name);

  // Identity and data.
  const QString& GetName() const { return name_; }
  void SetName(const QString& name) { name_ = name; }
  virtual QString GetText() const { return text_; }
  virtual void SetText(const QString& text);
  // Shown as plain text, whatever it holds (page titles and bookmark names end up here).
  const QString& GetToolTip() const { return tooltip_; }
  void SetToolTip(const QString& tooltip);
  const QString& GetUserData() const { return userData_; }
  void SetUserData(const QString& data) { userData_ = data; }
  // The virtual window a notification of this control is routed to (CNotifyPump): its
  // own "virtualwnd" attribute or the nearest ancestor's.
  QString GetVirtualWnd() const;
  std::intptr_t GetTag() const { return tag_; }
  void SetTag(std::intptr_t tag) { tag_ = tag; }

  // Tree. The manager and parent are set when the control joins a window's tree.
  CControlUI* GetParent() const { return parent_; }
  CPaintManagerUI* GetManager() const { return manager_; }
  // Attaches the control (and its subtree) to a manager; `init` runs DoInit once.
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
  // Pre-order walk of the subtree, stopping when `visitor` returns true; returns the
  // control it stopped at. Invisible controls are visited too.
  virtual CControlUI* FindControl(const std::function<bool(CControlUI*)>& visitor);
  // The top-most visible, mouse-enabled control of this subtree under `point`.
  virtual CControlUI* FindControlAt(QPoint point);

  // State.
  bool IsVisible() const { return visible_ && internVisible_; }
  virtual void SetVisible(bool visible = true);
  // Visibility imposed by an ancestor (a hidden container, an unselected tab page).
  virtual void SetInternVisible(bool visible = true);
  bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled = true);
  bool IsMouseEnabled() const { return mouseEnabled_; }
  void SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
  bool IsFocused() const { return focused_; }
  void SetFocusedState(bool focused);  // called by the manager
  virtual void SetFocus();
  // Whether a press here is the control's own (buttons, edits) rather than a drag of
  // the window's caption area.
  virtual bool IsClickable() const { return false; }
  virtual bool IsFocusable() const { return false; }

  // Geometry: the rectangle in window client coordinates, and the layout requests.
  const QRect& GetPos() const { return rcItem_; }
  virtual void SetPos(const QRect& rc);
  bool IsFloat() const { return float_; }
  void SetFloat(bool f);
  // Offset of a floating control inside its parent (from "pos").
  QPoint GetFloatOffset() const { return floatOffset_; }
  int GetFixedWidth() const { return fixed_.cx; }
  int GetFixedHeight() const { return fixed_.cy; }
  void SetFixedWidth(int cx);
  void SetFixedHeight(int cy);
  int GetMinWidth() const { return min_.cx; }
  int GetMinHeight() const { return min_.cy; }
  int GetMaxWidth() const { return max_.cx; }
  int GetMaxHeight() const { return max_.cy; }
  void SetMinWidth(int cx);
  void SetMaxWidth(int cx);
  void SetMinHeight(int cy);
  void SetMaxHeight(int cy);
  const RECT& GetPadding() const { return padding_; }
  void SetPadding(const RECT& padding);
  // The size this control asks of its parent's layout; 0 in a dimension means "share".
  virtual SIZE EstimateSize(SIZE available);

  // Look.
  void SetBkColor(const QColor& c);
  const QColor& GetBkColor() const { return bkColor_; }
  void SetBorderColor(const QColor& c);
  const QColor& GetBorderColor() const { return borderColor_; }
  void SetBorderSize(int size);
  int GetBorderSize() const { return borderSize_; }
  void SetBkImage(const QString& image);
  const QString& GetBkImage() const { return bkImage_; }

  // Applies one attribute; unknown names and malformed values are ignored.
  virtual void SetAttribute(const QString& name, const QString& value);
  // Applies a run-time attribute string in skin syntax, pair by pair.
  void ApplyAttributeList(const QString& list);

  // Painting, in the manager's painter; `dirty` is the part that needs drawing.
  virtual void DoPaint(QPainter& painter, const QRect& dirty);
  virtual void PaintBkColor(QPainter& painter);
  virtual void PaintBkImage(QPainter& painter);
  virtual void PaintStatusImage(QPainter& painter);
  virtual void PaintText(QPainter& painter);
  virtual void PaintBorder(QPainter& painter);
  // Draws an image attribute into this control's rectangle; false when not drawn.
  bool DrawImage(QPainter& painter, const QString& image);

  // Input from the manager.
  virtual void DoEvent(TEventUI& event);
  // The control's action (click); returns false when the control can't act now.
  virtual bool Activate();

  // Accessibility. A screen reader names a control by, in this order: its accessible
  // name ("accname", or set by its window in the interface language), the text of the
  // control that "acclabel" names (the visible label of a field), its own text, its
  // tooltip. "accrole" gives the role a kind alone does not tell (tablist, tab, menu,
  // menuitem, toolbar, group, button, link), or "none": the control is left out of the
  // tree and its children take its place.
  const QString& GetAccessibleName() const { return accName_; }
  void SetAccessibleName(const QString& name);
  const QString& GetAccessibleLabel() const { return accLabel_; }
  const QString& GetAccessibleRole() const { return accRole_; }
  // Whether the control is a node of its window's accessibility tree. Plain layout
  // boxes and bare decorations are not; their children stand in their place.
  virtual bool IsAccessibleNode() const;
  // The interface assistive technology sees for this control: the hosted widget's own
  // when there is one, else one made on the first request (so nothing is spent while
  // no assistive technology asks) and freed with the control.
  QAccessibleInterface* GetAccessible();
  // Whether the control's own interface has been made (only then do changes need
  // telling).
  bool HasAccessible() const { return accessibleId_ != 0; }
  // A real Qt widget that stands for this control (text fields, hosted views), or null.
  virtual QWidget* GetNativeWidget() const { return nullptr; }
  // Gives the native widget (if any) the name this control goes by, so a screen reader
  // hearing of the widget first (it took the focus) names it right.
  void SyncNativeName();

  // Requests a repaint of this control / a new layout of its parent / of the window.
  void Invalidate();
  void NeedUpdate();
  void NeedParentUpdate();

 protected:
  // Runs once when the control first joins a window (native child widgets are made
  // here); the tree below may not be complete yet.
  virtual void DoInit() {}
  // Makes the interface of this kind of control (GetAccessible registers it).
  virtual QAccessibleInterface* CreateAccessible();
  // Changes one of the texts the control's name may come from (tooltip, accessible
  // name) and tells whoever listens.
  void ReplaceNameSource(QString& source, const QString& value);
  // Sends a notification through the manager with this control as sender.
  void Notify(const QString& type, WPARAM wParam = 0, LPARAM lParam = 0);
  QFont ResolveFont(int index) const;

  CPaintManagerUI* manager_ = nullptr;  // not owned: the window's paint manager
  CControlUI* parent_ = nullptr;        // not owned: the container holding this control
  QRect rcItem_;
  QString name_;
  QString text_;
  QString tooltip_;
  QString userData_;
  QString virtualWnd_;
  QString accName_;
  QString accLabel_;
  QString accRole_;
  unsigned accessibleId_ = 0;  // QAccessible::Id of the interface made for this control
  std::intptr_t tag_ = 0;
  bool visible_ = true;
  bool internVisible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool focused_ = false;
  bool float_ = false;
  bool initialised_ = false;
  QPoint floatOffset_;
  SIZE fixed_;
  SIZE min_;
  SIZE max_{9999, 9999};
  RECT padding_;
  QColor bkColor_;
  QColor bkColor2_;
  QColor borderColor_;
  QColor focusBorderColor_;
  int borderSize_ = 0;
  SIZE borderRound_;
  QString bkImage_;
};

}  // namespace DuiLib
