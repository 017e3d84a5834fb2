#include "ui/text_ui.h"

namespace DuiLib {

CTextUI::CTextUI() {
  multiLine_ = true;
  endEllipsis_ = false;
  align_ = Qt::AlignLeft | Qt::AlignTop;
}

void* CTextUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Text"), Qt::CaseInsensitive) == 0) return this;
  return CLabelUI::GetInterface(name);
}

}  // namespace DuiLib
