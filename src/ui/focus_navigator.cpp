#include "ui/focus_navigator.h"

#include <QSet>
#include <algorithm>

#include "ui/option_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/ui_messages.h"

namespace DuiLib {
namespace {

// The option group a control belongs to, or an empty string.
QString GroupOf(CControlUI* control) {
  auto* option = static_cast<COptionUI*>(control->GetInterface(QStringLiteral("Option")));
  return option != nullptr ? option->GetGroup() : QString();
}

bool IsChosenOption(CControlUI* control) {
  auto* option = static_cast<COptionUI*>(control->GetInterface(QStringLiteral("Option")));
  return option != nullptr && option->IsSelected();
}

// Tab stops from the focusable controls: a group of options is one stop, at the place
// of its first member, taken by its chosen member when it has one.
std::vector<CControlUI*> TabStops(const std::vector<CControlUI*>& focusable) {
  std::vector<CControlUI*> stops;
  QSet<QString> groups;
  for (CControlUI* control : focusable) {
    const QString group = GroupOf(control);
    if (group.isEmpty()) {
      stops.push_back(control);
      continue;
    }
    if (groups.contains(group)) continue;
    groups.insert(group);
    CControlUI* stop = control;
    for (CControlUI* member : focusable) {
      if (GroupOf(member) == group && IsChosenOption(member)) {
        stop = member;
        break;
      }
    }
    stops.push_back(stop);
  }
  return stops;
}

// Where `control` stands among `stops`: its own place, its group's, or its nearest
// ancestor's (a row inside a list); -1 when nowhere.
int StopIndexOf(const std::vector<CControlUI*>& stops, CControlUI* control) {
  for (CControlUI* c = control; c != nullptr; c = c->GetParent()) {
    const QString group = GroupOf(c);
    for (size_t i = 0; i < stops.size(); ++i) {
      if (stops[i] == c || (!group.isEmpty() && GroupOf(stops[i]) == group)) return static_cast<int>(i);
    }
  }
  return -1;
}

CControlUI* Neighbour(const std::vector<CControlUI*>& list, CControlUI* from, int step) {
  if (list.empty()) return nullptr;
  const int n = static_cast<int>(list.size());
  const int at = StopIndexOf(list, from);
  if (at < 0) return step > 0 ? list.front() : list.back();
  return list[static_cast<size_t>(((at + step) % n + n) % n)];
}

}  // namespace

std::vector<CControlUI*> CFocusNavigator::FocusableControls(CControlUI* scope) {
  std::vector<CControlUI*> found;
  if (scope == nullptr) {
    return found;
  }
  scope->FindControl([&found](CControlUI* c) {
    // Parts that let the mouse through, or that assistive technology is not told of,
    // are a control's decoration, never a place of their own.
    const bool decoration =
        !c->IsMouseEnabled() || c->GetAccessibleRole().compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
    if (c->IsFocusable() && !decoration && c->IsVisible() && c->IsEnabled() && !c->GetPos().isEmpty()) {
      found.push_back(c);
    }
    return false;
  });
  return found;
}

bool CFocusNavigator::FocusByKeyboard(CControlUI* control) {
  if (control == nullptr) {
    return false;
  }
  manager_.SetKeyboardFocus(true);
  control->SetFocus();
  return true;
}

bool CFocusNavigator::MoveFocus(bool forward) {
  const std::vector<CControlUI*> stops = TabStops(FocusableControls(manager_.GetRoot()));
  return FocusByKeyboard(Neighbour(stops, manager_.KeyboardControl(), forward ? 1 : -1));
}

bool CFocusNavigator::MoveInGroup(CControlUI* from, int step) {
  const QString group = from != nullptr ? GroupOf(from) : QString();
  if (group.isEmpty()) {
    return false;
  }
  std::vector<CControlUI*> members;
  for (CControlUI* c : FocusableControls(manager_.GetRoot())) {
    if (GroupOf(c) == group) members.push_back(c);
  }
  // Neighbour's group rule would find any member; among members only identity counts.
  const auto at = std::find(members.begin(), members.end(), from);
  if (at == members.end()) {
    return FocusByKeyboard(members.empty() ? nullptr : members.front());
  }
  const int n = static_cast<int>(members.size());
  const int index = static_cast<int>(at - members.begin());
  return FocusByKeyboard(members[static_cast<size_t>(((index + step) % n + n) % n)]);
}

bool CFocusNavigator::MoveWithin(CControlUI* scope, CControlUI* from, int step) {
  std::vector<CControlUI*> inside = FocusableControls(scope);
  inside.erase(std::remove(inside.begin(), inside.end(), scope), inside.end());
  return FocusByKeyboard(Neighbour(inside, from, step));
}

bool CFocusNavigator::EnterMenu(bool down) {
  CControlUI* root = manager_.GetRoot();
  const bool menu = root != nullptr && root->FindControl([](CControlUI* c) {
    return c->GetAccessibleRole().compare(QLatin1String("menu"), Qt::CaseInsensitive) == 0 ||
           c->GetInterface(QStringLiteral("Menu")) != nullptr;
  }) != nullptr;
  if (!menu) {
    return false;
  }
  const std::vector<CControlUI*> entries = FocusableControls(root);
  if (entries.empty() || !FocusByKeyboard(down ? entries.front() : entries.back())) {
    return true;
  }
  // A menu panel that is a list takes the same arrow to choose its first entry.
  CControlUI* focus = manager_.GetFocus();
  if (focus != nullptr && focus->GetInterface(QStringLiteral("IListOwner")) != nullptr) {
    TEventUI event{UIEvent::kKeyDown, focus};
    event.key = down ? VK_DOWN : VK_UP;
    focus->DoEvent(event);
  }
  return true;
}

}  // namespace DuiLib
