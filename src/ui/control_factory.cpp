#include "ui/control_factory.h"

#include <QHash>
#include <functional>

#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/check_box_ui.h"
#include "ui/combo_ui.h"
#include "ui/container_ui.h"
#include "ui/edit_ui.h"
#include "ui/gif_anim_ui.h"
#include "ui/label_ui.h"
#include "ui/list_container_element_ui.h"
#include "ui/list_label_element_ui.h"
#include "ui/list_ui.h"
#include "ui/menu_container.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_ui.h"
#include "ui/native_host_ui.h"
#include "ui/option_ui.h"
#include "ui/progress_ui.h"
#include "ui/rich_edit_ui.h"
#include "ui/slider_ui.h"
#include "ui/static_menu_element_ui.h"
#include "ui/tab_layout_ui.h"
#include "ui/text_ui.h"
#include "ui/tree_node_ui.h"
#include "ui/tree_view_ui.h"

namespace DuiLib {
namespace {

using Maker = std::function<std::unique_ptr<CControlUI>()>;

template <class T>
Maker Make() {
  return [] { return std::unique_ptr<CControlUI>(new T); };
}

const QHash<QString, Maker>& Makers() {
  static const QHash<QString, Maker> makers = {
      {QStringLiteral("control"), Make<CControlUI>()},
      {QStringLiteral("container"), Make<CContainerUI>()},
      {QStringLiteral("verticallayout"), Make<CVerticalLayoutUI>()},
      {QStringLiteral("horizontallayout"), Make<CHorizontalLayoutUI>()},
      {QStringLiteral("tablayout"), Make<CTabLayoutUI>()},
      {QStringLiteral("label"), Make<CLabelUI>()},
      {QStringLiteral("text"), Make<CTextUI>()},
      {QStringLiteral("button"), Make<CButtonUI>()},
      {QStringLiteral("option"), Make<COptionUI>()},
      {QStringLiteral("checkbox"), Make<CCheckBoxUI>()},
      {QStringLiteral("edit"), Make<CEditUI>()},
      {QStringLiteral("richedit"), Make<CRichEditUI>()},
      {QStringLiteral("progress"), Make<CProgressUI>()},
      {QStringLiteral("slider"), Make<CSliderUI>()},
      {QStringLiteral("combo"), Make<CComboUI>()},
      {QStringLiteral("list"), Make<CListUI>()},
      {QStringLiteral("listcontainerelement"), Make<CListContainerElementUI>()},
      {QStringLiteral("listlabelelement"), Make<CListLabelElementUI>()},
      {QStringLiteral("treeview"), Make<CTreeViewUI>()},
      {QStringLiteral("treenode"), Make<CTreeNodeUI>()},
      {QStringLiteral("gifanim"), Make<CGifAnimUI>()},
      {QStringLiteral("nativehost"), Make<CNativeHostUI>()},
      {QStringLiteral("menu"), Make<CMenuUI>()},
      {QStringLiteral("menuitem"), Make<CMenuElementUI>()},
      {QStringLiteral("menuelement"), Make<CMenuElementUI>()},
      {QStringLiteral("staticmenuitem"), Make<CStaticMenuElementUI>()},
      {QStringLiteral("menucontainer"), Make<CMenuContainer>()},
  };
  return makers;
}

}  // namespace

std::unique_ptr<CControlUI> CreateStandardControl(const QString& tag) {
  const auto it = Makers().constFind(tag.toLower());
  return it != Makers().constEnd() ? it.value()() : nullptr;
}

}  // namespace DuiLib
