#pragma once
// The address bar control (skin tag "AddressEdit"): a label-type control that hosts
// a CAddressEdit. The page's address updates arrive through SetText; they replace
// the field unless the user has typed into it and not yet sent the text with Return,
// so a page finishing its load never overwrites what is being typed, and once sent
// the field shows the page's address again, also when the address typed turned out
// to be a download and the page stayed where it was.
//
// GUI thread only. Owned by its window's control tree; owns the CAddressEdit.
#include <functional>
#include <memory>

#include "platform/text.h"
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
  // Replaces the native text unless the native edit has the keyboard focus and text
  // the user typed that Return has not sent yet.
  void SetText(const QString& text) override;
  // Gives the native edit the keyboard focus (unless it has it already).
  void SetFocus() override;
  // The native edit stands for the bar: a Tab stop, and to assistive technology a
  // text field (named by the window).
  bool IsFocusable() const override { return true; }
  QWidget* GetNativeWidget() const override;
  void SetPos(const QRect& rc) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void PaintText(QPainter& painter) override;

  // The native edit, once the control is in a window; else null.
  CAddressEdit* GetAddressEdit() const { return edit_.get(); }
  // What the window does with a text sent with Return (see CAddressEdit); kept for
  // a native edit made later.
  void SetTypedHandler(std::function<void(const WString& typed)> handler);

 protected:
  void DoInit() override;

 private:
  void UpdateNativeVisibility();

  std::unique_ptr<CAddressEdit> edit_;
  QString pendingText_;  // text set before the native edit existed
  std::function<void(const WString& typed)> typed_;
};

}  // namespace tarvo
