#pragma once
// What list items (rows of a list, tree or combo) need from the control that holds them:
// the shared row look and the selection.
#include <QColor>
#include <QString>

#include "ui/ui_defs.h"

namespace DuiLib {

class CControlUI;

// Row look shared by all items of one list ("item..." attributes of the list).
struct TListInfoUI {
  int font = -1;
  int align = Qt::AlignLeft | Qt::AlignVCenter;
  RECT textPadding{8, 0, 8, 0};
  QColor textColor;
  QColor selectedTextColor;
  QColor hotTextColor;
  QColor disabledTextColor;
  QColor bkColor;
  QColor hotBkColor{0xF2, 0xF4, 0xF7};
  QColor selectedBkColor{0xE6, 0xEE, 0xFD};
  QString hotImage;
  QString selectedImage;
  QColor lineColor;
};

class IListOwnerUI {
 public:
  virtual ~IListOwnerUI() = default;
  virtual TListInfoUI* GetListInfo() = 0;
  virtual int GetCurSel() const = 0;
  // Selects the item at `index` (-1 clears); sends "itemselect" when it changed and
  // `notify` is set. False when there is no such selectable item.
  virtual bool SelectItem(int index, bool takeFocus = false, bool notify = true) = 0;
  // The position of `item` among the owner's items, or -1.
  virtual int GetItemIndexOf(CControlUI* item) const = 0;
};

}  // namespace DuiLib
