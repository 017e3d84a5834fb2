#include "ui/option_ui.h"

#include "ui/accessible_events.h"
#include "ui/accessible_option.h"
#include "ui/focus_navigator.h"
#include "ui/paint_manager_ui.h"
#include "ui/render_engine.h"
#include "ui/ui_messages.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {

COptionUI::~COptionUI() = default;

void* COptionUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Option"), Qt::CaseInsensitive) == 0) return this;
  return CButtonUI::GetInterface(name);
}

void COptionUI::Selected(bool selected, bool notify) {
  if (selected_ == selected) {
    return;
  }
  selected_ = selected;
  if (selected_ && !group_.isEmpty() && manager_ != nullptr && manager_->GetRoot() != nullptr) {
    const QString group = group_;
    std::vector<COptionUI*> others;
    manager_->GetRoot()->FindControl([&](CControlUI* c) {
      auto* option = static_cast<COptionUI*>(c->GetInterface(QStringLiteral("Option")));
      if (option != nullptr && option != this && option->IsSelected() && option->GetGroup() == group) {
        others.push_back(option);
      }
      return false;
    });
    for (COptionUI* other : others) {
      other->Selected(false, notify);
    }
  }
  Invalidate();
  QAccessible::State changed;
  changed.checked = true;
  CAccessibleEvents::StateChanged(this, changed);
  CAccessibleEvents::SelectionChanged(this);
  if (notify) {
    Notify(kNotifySelectChanged, selected_ ? 1 : 0);
  }
}

QAccessibleInterface* COptionUI::CreateAccessible() { return new CAccessibleOption(this); }

void COptionUI::DoEvent(TEventUI& event) {
  // Arrow keys walk the options of a group (tabs, radio buttons); Space or Return
  // chooses the one reached.
  if (event.type == UIEvent::kKeyDown && !group_.isEmpty() && manager_ != nullptr && IsEnabled()) {
    const bool back = event.key == VK_LEFT || event.key == VK_UP;
    if ((back || event.key == VK_RIGHT || event.key == VK_DOWN) && (event.modifiers & (MK_CONTROL | MK_ALT)) == 0) {
      CFocusNavigator(*manager_).MoveInGroup(this, back ? -1 : 1);
      return;
    }
  }
  CButtonUI::DoEvent(event);
}

void COptionUI::SetSelectedImage(const QString& image) {
  selectedImage_ = image;
  Invalidate();
}

bool COptionUI::Activate() {
  if (!CControlUI::Activate()) {
    return false;
  }
  if (group_.isEmpty()) {
    Selected(!selected_);
  } else {
    Selected(true);
  }
  Notify(kNotifyClick);
  return true;
}

void COptionUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("group")) {
    SetGroup(value);
  } else if (n == QLatin1String("selected")) {
    if (auto b = CAttributeParser::ParseBool(value)) Selected(*b);
  } else if (n == QLatin1String("selectedimage")) {
    SetSelectedImage(value);
  } else if (n == QLatin1String("selectedhotimage")) {
    selectedHotImage_ = value;
  } else if (n == QLatin1String("selectedpushedimage")) {
    selectedPushedImage_ = value;
  } else if (n == QLatin1String("selectedforeimage")) {
    selectedForeImage_ = value;
  } else if (n == QLatin1String("selectedtextcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) selectedTextColor_ = *c;
  } else if (n == QLatin1String("selectedbkcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) selectedBkColor_ = *c;
  } else {
    CButtonUI::SetAttribute(name, value);
  }
  Invalidate();
}

void COptionUI::PaintBkColor(QPainter& painter) {
  if (selected_ && selectedBkColor_.isValid()) {
    CRenderEngine::DrawColor(painter, rcItem_, selectedBkColor_, QColor(), borderRound_);
    return;
  }
  CButtonUI::PaintBkColor(painter);
}

void COptionUI::PaintStatusImage(QPainter& painter) {
  if (selected_) {
    bool drawn = false;
    if (IsEnabled() && pushed_) {
      drawn = DrawImage(painter, selectedPushedImage_);
    }
    if (!drawn && IsEnabled() && (hot_ || pushed_)) {
      drawn = DrawImage(painter, selectedHotImage_);
    }
    if (drawn || DrawImage(painter, selectedImage_)) {
      if (!DrawImage(painter, selectedForeImage_)) DrawImage(painter, foreImage_);
      return;
    }
  }
  CButtonUI::PaintStatusImage(painter);
}

void COptionUI::PaintText(QPainter& painter) {
  if (selected_ && selectedTextColor_.isValid() && IsEnabled()) {
    DrawLabelText(painter, GetText(), selectedTextColor_);
    return;
  }
  CButtonUI::PaintText(painter);
}

}  // namespace DuiLib
