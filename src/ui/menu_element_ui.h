#pragma once
// A clickable menu item ("MenuItem"); "command" names it. A click sends "itemclick"
// to the menu's owner window with the item as sender and closes the menu; a right
// click sends "rightclick" to the owner.
#include "ui/list_container_element_ui.h"

namespace DuiLib {

class CMenuElementUI : public CListContainerElementUI {
 public:
  QString GetClass() const override { return QStringLiteral("MenuElementUI"); }
  void* GetInterface(const QString& name) override;

  const QString& GetCommand() const { return command_; }
  void SetCommand(const QString& command) { command_ = command; }
  // Static items show but do not react.
  virtual bool IsClickableItem() const { return true; }

  // Items without a height get a comfortable default.
  SIZE EstimateSize(SIZE available) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintText(QPainter& painter) override;

 protected:
  void OnItemClick(const TEventUI& event) override;
  void OnItemRightClick(const TEventUI& event) override;

 private:
  QString command_;
};

}  // namespace DuiLib
