#pragma once
// One object of an application's accessibility tree as a screen reader reaches it over
// the AT-SPI bus: role, name, states, text, place, children and actions. Every read is
// a call to the application (the library's cache is off for it), so the test sees
// what the application says now.
//
// Threads: the test's thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

typedef struct _AtspiAccessible AtspiAccessible;

namespace tarvo::e2e {

class AtspiNode {
 public:
  // Takes over a reference of the library's object; an empty node stands for none.
  explicit AtspiNode(AtspiAccessible* object = nullptr);

  // Connects this process to the accessibility bus of DBUS_SESSION_BUS_ADDRESS (once).
  static void Connect();
  // The application of process `pid` once it has joined the bus.
  static std::optional<AtspiNode> Application(int pid);

  std::string Name() const;
  std::string Role() const;  // the role's name: "push button", "text", "frame" ...
  std::string Path() const;  // the object's place on the bus, which tells objects apart
  bool Showing() const;
  bool Focusable() const;
  bool Focused() const;
  std::pair<int, int> Position() const;  // the top-left corner on the screen
  std::string Text() const;
  std::vector<AtspiNode> Children() const;
  AtspiNode Parent() const;
  // The showing nodes of the subtree (this one included) that `match` accepts, in tree
  // order; the first of them.
  std::vector<AtspiNode> FindAll(const std::function<bool(const AtspiNode&)>& match) const;
  std::optional<AtspiNode> Find(const std::function<bool(const AtspiNode&)>& match) const;
  // Runs the action named `action` ("Press", "Toggle" ...); false when it has none.
  bool DoAction(const std::string& action) const;
  // Asks for the keyboard focus, as a screen reader's "focus this" does.
  bool GrabFocus() const;

 private:
  std::shared_ptr<AtspiAccessible> object_;
};

// Matches a node by role and name.
std::function<bool(const AtspiNode&)> RoleAndName(const std::string& role, const std::string& name);

}  // namespace tarvo::e2e
