#pragma once
// A label that reacts to the mouse: images and colours per state (normal, hot, pushed,
// focused, disabled, fore), "click" on release over it, Space/Return when focused.
#include "ui/label_ui.h"

namespace DuiLib {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();
  QString GetClass() const override { return QStringLiteral("ButtonUI"); }
  void* GetInterface(const QString& name) override;

  bool IsClickable() const override { return true; }
  bool IsFocusable() const override { return true; }
  bool IsHot() const { return hot_; }
  bool IsPushed() const { return pushed_; }

  void SetNormalImage(const QString& image);
  const QString& GetNormalImage() const { return normalImage_; }
  void SetHotImage(const QString& image);
  const QString& GetHotImage() const { return hotImage_; }
  void SetPushedImage(const QString& image);
  void SetFocusedImage(const QString& image);
  void SetDisabledImage(const QString& image);
  void SetForeImage(const QString& image);
  const QString& GetForeImage() const { return foreImage_; }

  bool Activate() override;
  void SetEnabled(bool enabled = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;

 protected:
  QAccessibleInterface* CreateAccessible() override;
  // The state colours for the current state, invalid when the state has none.
  QColor StateTextColor() const;

  bool hot_ = false;
  bool pushed_ = false;
  QString normalImage_;
  QString hotImage_;
  QString pushedImage_;
  QString focusedImage_;
  QString disabledImage_;
  QString foreImage_;
  QString hotForeImage_;
  QColor hotTextColor_;
  QColor pushedTextColor_;
  QColor focusedTextColor_;
  QColor hotBkColor_;
  QColor pushedBkColor_;
};

}  // namespace DuiLib
