#pragma once
// One button of the favourites bar: a row that holds an icon label and a text label
// and acts like a button: its hover picture while the mouse is over it, "click" for
// the left button (and for Space or Return) and "rightclick" for the right one; to
// assistive technology a push button named by its tooltip. Its tag is the item's id and
// its user data the bookmark's address (empty for a folder); it also keeps the id's
// exact text.
//
// Threads: GUI thread. Owned by the bar.
#include <string>

#include "ui/box_layout_ui.h"

namespace tarvo {

class FavoriteBarButtonUI : public DuiLib::CHorizontalLayoutUI {
 public:
  static constexpr const char* kBookmarkName = "favor_item_btn";
  static constexpr const char* kFolderName = "favor_menu_btn";

  QString GetClass() const override { return QStringLiteral("FavorBarButtonUI"); }
  void* GetInterface(const QString& name) override;
  bool IsClickable() const override { return true; }
  bool IsFocusable() const override { return true; }
  bool IsAccessibleNode() const override { return true; }
  bool Activate() override;
  bool IsHot() const { return hot_; }
  // The item's id exactly as the document writes it (the tag holds its number).
  const std::string& ItemId() const { return itemId_; }
  void SetItemId(std::string id) { itemId_ = std::move(id); }

  void SetAttribute(const QString& name, const QString& value) override;
  void DoEvent(DuiLib::TEventUI& event) override;
  void PaintStatusImage(QPainter& painter) override;

 protected:
  QAccessibleInterface* CreateAccessible() override;

 private:
  std::string itemId_;
  QString hotImage_;
  bool hot_ = false;
  bool pushed_ = false;
};

}  // namespace tarvo
