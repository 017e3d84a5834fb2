#pragma once
// A control that shows one line of text: font by index, colours, alignment, padding.
#include "ui/control_ui.h"

namespace DuiLib {

class CLabelUI : public CControlUI {
 public:
  QString GetClass() const override { return QStringLiteral("LabelUI"); }
  void* GetInterface(const QString& name) override;

  void SetTextColor(const QColor& c);
  const QColor& GetTextColor() const { return textColor_; }
  void SetDisabledTextColor(const QColor& c) { disabledTextColor_ = c; }
  void SetFont(int index);
  int GetFont() const { return font_; }
  void SetTextPadding(const RECT& rc);
  const RECT& GetTextPadding() const { return textPadding_; }
  // Qt alignment flags built from "align"/"valign".
  int GetTextAlign() const { return align_; }
  void SetTextAlign(int flags);
  // Width of the text in this control's font plus text padding.
  int MeasureTextWidth() const;

  // A label as wide as its text ("autocalcwidth") asks its parent for a new layout
  // when the text changes, or a longer text (another language) is cut short.
  void SetText(const QString& text) override;
  bool IsAccessibleNode() const override;
  SIZE EstimateSize(SIZE available) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintText(QPainter& painter) override;

 protected:
  // Draws `text` in `color` inside the text rectangle with this control's settings.
  void DrawLabelText(QPainter& painter, const QString& text, const QColor& color);
  QColor EffectiveTextColor(const QColor& wanted) const;

  QColor textColor_;
  QColor disabledTextColor_;
  int font_ = -1;
  int align_ = Qt::AlignLeft | Qt::AlignVCenter;
  RECT textPadding_;
  bool endEllipsis_ = true;
  bool multiLine_ = false;
  bool autoCalcWidth_ = false;
};

}  // namespace DuiLib
