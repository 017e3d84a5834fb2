#include "shell/mainwnd/favorite_bar_slot_ui.h"

namespace tarvo {

void* FavoriteBarSlotUI::GetInterface(const QString& name) {
  if (name == QLatin1String(kTag)) return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

}  // namespace tarvo
