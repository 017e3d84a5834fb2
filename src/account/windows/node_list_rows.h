#pragma once

#include <memory>
#include <optional>

#include "account/node_countries.h"

namespace DuiLib {
class CControlUI;
}

namespace tarvo {

// The rows of the node drop-down (CVNodeListWnd), built from the designed attribute
// strings: a country row shows its flag (none for an unknown country), its name and
// how many nodes it offers; an area row a house, the area's name and the measured
// ping (none while unmeasured). An invisible button named kRowButton covers each
// row and carries the country's or the node's id as its user data (and, for
// numeric ids, its tag).
//
// GUI thread.
class NodeListRows {
 public:
  static constexpr const char* kRowButton = "button_name";
  static constexpr int kRowHeight = 40;

  static std::unique_ptr<DuiLib::CControlUI> CountryRow(const NodeCountries::Country& country);
  static std::unique_ptr<DuiLib::CControlUI> AreaRow(const VpnNode& node, std::optional<int> pingMs);
};

}  // namespace tarvo
