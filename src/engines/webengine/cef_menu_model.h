#pragma once

#include <vector>

#include "engines/webengine/cef_string.h"

namespace tarvo::cef {

// The items of a context menu, in order: commands with a label and an enabled
// state, and separators.
// Threads: engine UI thread only.
class CefMenuModel {
 public:
  static constexpr int kSeparatorId = -1;

  struct Item {
    int command_id = kSeparatorId;
    CefString label;
    bool enabled = true;
    bool IsSeparator() const { return command_id == kSeparatorId; }
  };

  // Removes every item; returns true.
  bool Clear();
  int GetCount() const { return static_cast<int>(items_.size()); }
  // Appends an enabled command.
  bool AddItem(int command_id, const CefString& label);
  bool AddSeparator();
  // Enables or disables every item with this command id; false when there is none.
  bool SetEnabled(int command_id, bool enabled);
  // Item at index, or -1 / empty / false outside the range.
  int GetCommandIdAt(int index) const;
  CefString GetLabelAt(int index) const;
  bool IsEnabledAt(int index) const;
  bool IsSeparatorAt(int index) const;
  const std::vector<Item>& items() const { return items_; }

 private:
  std::vector<Item> items_;
};

}  // namespace tarvo::cef
