#pragma once
// A list row that is just a line of text, drawn with the list's item font and colours.
#include "ui/list_container_element_ui.h"

namespace DuiLib {

class CListLabelElementUI : public CListContainerElementUI {
 public:
  QString GetClass() const override { return QStringLiteral("ListLabelElementUI"); }
  void* GetInterface(const QString& name) override;
  // Rows without a height are as high as their text needs (plus breathing room).
  SIZE EstimateSize(SIZE available) override;
  void PaintText(QPainter& painter) override;
};

}  // namespace DuiLib
