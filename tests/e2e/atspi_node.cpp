#include "e2e/atspi_node.h"

#include <atspi/atspi.h>

#include <chrono>

#include "e2e/child_process.h"

namespace tarvo::e2e {

namespace {

using namespace std::chrono_literals;

// Takes a string the library allocated.
std::string Take(gchar* text) {
  std::string value = text != nullptr ? text : "";
  g_free(text);
  return value;
}

// Calls `use` with an interface of the object, which is released after; `fallback`
// when the object has none.
template <class Iface, class Use, class Result>
Result With(Iface* iface, Use use, Result fallback) {
  if (iface == nullptr) return fallback;
  Result result = use(iface);
  g_object_unref(iface);
  return result;
}

}  // namespace

AtspiNode::AtspiNode(AtspiAccessible* object)
    : object_(object, [](AtspiAccessible* o) {
        if (o != nullptr) g_object_unref(o);
      }) {}

void AtspiNode::Connect() {
  static const int connected = atspi_init();
  (void)connected;
}

std::optional<AtspiNode> AtspiNode::Application(int pid) {
  std::optional<AtspiNode> found;
  WaitFor(
      [&] {
        for (const AtspiNode& app : AtspiNode(atspi_get_desktop(0)).Children()) {
          if (atspi_accessible_get_process_id(app.object_.get(), nullptr) != static_cast<guint>(pid)) continue;
          atspi_accessible_set_cache_mask(app.object_.get(), ATSPI_CACHE_NONE);
          found = app;
        }
        return found.has_value();
      },
      30s);
  return found;
}

std::string AtspiNode::Name() const { return Take(atspi_accessible_get_name(object_.get(), nullptr)); }

std::string AtspiNode::Role() const {
  // Newer AT-SPI libraries (Debian 13's) name the push button role "button"; the
  // role is the same, so the walk speaks of it by one name on every release.
  std::string role = Take(atspi_accessible_get_role_name(object_.get(), nullptr));
  return role == "button" ? "push button" : role;
}

std::string AtspiNode::Path() const {
  const char* path = object_ ? ATSPI_OBJECT(object_.get())->path : nullptr;
  return path != nullptr ? path : "";
}

static bool HasState(AtspiAccessible* object, AtspiStateType state) {
  return With(
      atspi_accessible_get_state_set(object),
      [state](AtspiStateSet* states) { return atspi_state_set_contains(states, state) != 0; }, false);
}

bool AtspiNode::Showing() const { return HasState(object_.get(), ATSPI_STATE_SHOWING); }

bool AtspiNode::Focusable() const { return HasState(object_.get(), ATSPI_STATE_FOCUSABLE); }

bool AtspiNode::Focused() const { return HasState(object_.get(), ATSPI_STATE_FOCUSED); }

std::pair<int, int> AtspiNode::Position() const {
  return With(atspi_accessible_get_component_iface(object_.get()), [](AtspiComponent* component) {
    AtspiPoint* point = atspi_component_get_position(component, ATSPI_COORD_TYPE_SCREEN, nullptr);
    const std::pair<int, int> position = point != nullptr ? std::pair(point->x, point->y) : std::pair(-1, -1);
    g_free(point);
    return position;
  }, std::pair(-1, -1));
}

std::string AtspiNode::Text() const {
  return With(atspi_accessible_get_text_iface(object_.get()),
              [](AtspiText* text) { return Take(atspi_text_get_text(text, 0, -1, nullptr)); }, std::string());
}

std::vector<AtspiNode> AtspiNode::Children() const {
  std::vector<AtspiNode> children;
  const int count = atspi_accessible_get_child_count(object_.get(), nullptr);
  for (int i = 0; i < count; ++i) {
    AtspiAccessible* child = atspi_accessible_get_child_at_index(object_.get(), i, nullptr);
    if (child != nullptr) children.emplace_back(child);
  }
  return children;
}

AtspiNode AtspiNode::Parent() const { return AtspiNode(atspi_accessible_get_parent(object_.get(), nullptr)); }

std::vector<AtspiNode> AtspiNode::FindAll(const std::function<bool(const AtspiNode&)>& match) const {
  std::vector<AtspiNode> found;
  if (!Showing()) return found;
  if (match(*this)) found.push_back(*this);
  for (const AtspiNode& child : Children()) {
    for (AtspiNode& node : child.FindAll(match)) found.push_back(std::move(node));
  }
  return found;
}

std::optional<AtspiNode> AtspiNode::Find(const std::function<bool(const AtspiNode&)>& match) const {
  std::vector<AtspiNode> all = FindAll(match);
  return all.empty() ? std::nullopt : std::optional<AtspiNode>(all.front());
}

bool AtspiNode::DoAction(const std::string& action) const {
  return With(atspi_accessible_get_action_iface(object_.get()), [&action](AtspiAction* actions) {
    const int count = atspi_action_get_n_actions(actions, nullptr);
    for (int i = 0; i < count; ++i) {
      if (Take(atspi_action_get_action_name(actions, i, nullptr)) == action) {
        return atspi_action_do_action(actions, i, nullptr) != 0;
      }
    }
    return false;
  }, false);
}

bool AtspiNode::GrabFocus() const {
  return With(atspi_accessible_get_component_iface(object_.get()),
              [](AtspiComponent* component) { return atspi_component_grab_focus(component, nullptr) != 0; }, false);
}

std::function<bool(const AtspiNode&)> RoleAndName(const std::string& role, const std::string& name) {
  return [role, name](const AtspiNode& node) { return node.Role() == role && node.Name() == name; };
}

}  // namespace tarvo::e2e
