#pragma once
// The address bar control (skin tag "AddressEdit"): a label-type control that hosts
// a CAddressEdit. The page's address updates arrive through SetText; they replace
// the field only while the user is not typing in it, so a page finishing its load
// never overwrites what is being typed.
//
// GUI thread only. Owned by its window's control tree; owns the CAddressEdit.
#include <memory>

#include "ui/label_ui.h"

namespace tarvo {

class CAddressEdit;

class CAddressEditUI : public DuiLib::CLabelUI {
 public:
  CAddressEditUI();
  ~CAddressEditUI() override;

  QString GetClass() const override { return QStringLiteral("AutoComplEditUI"); }
  void* GetInterface(const QString& name) override;

  // The native text.
  QString GetText() const override;
  // Replaces the native text unless the native edit has the keyboard focus.
  void SetText(const QString& text) override;
  // Gives the native edit the keyboard focus (unless it has it already).
  void SetFocus() override;
  void SetPos(const QRect& rc) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void PaintText(QPainter& painter) override;

  // The native edit, once the control is in a window; else null.
  CAddressEdit* GetAddressEdit() const { return edit_.get(); }

 protected:
  void DoInit() override;

 private:
  void UpdateNativeVisibility();

  std::unique_ptr<CAddressEdit> edit_;
  QString pendingText_;  // text set before the native edit existed
};

}  // namespace tarvo
