#pragma once
// A button with a selected state. Options sharing a "group" in one window are
// exclusive (selecting one deselects the others, clicking a selected one keeps it);
// without a group a click toggles. A change sends "selectchanged".
#include "ui/button_ui.h"

namespace DuiLib {

class COptionUI : public CButtonUI {
 public:
  ~COptionUI() override;
  QString GetClass() const override { return QStringLiteral("OptionUI"); }
  void* GetInterface(const QString& name) override;

  bool IsSelected() const { return selected_; }
  // Changes the state; `notify` sends "selectchanged" when it changed.
  virtual void Selected(bool selected, bool notify = true);
  const QString& GetGroup() const { return group_; }
  void SetGroup(const QString& group) { group_ = group; }
  void SetSelectedImage(const QString& image);

  bool Activate() override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;
  void DoEvent(TEventUI& event) override;

 protected:
  QAccessibleInterface* CreateAccessible() override;
  bool selected_ = false;
  QString group_;
  QString selectedImage_;
  QString selectedHotImage_;
  QString selectedPushedImage_;
  QString selectedForeImage_;
  QColor selectedTextColor_;
  QColor selectedBkColor_;
};

}  // namespace DuiLib
