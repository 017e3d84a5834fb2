#include "account/node_countries.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tarvo {

std::vector<NodeCountries::Country> NodeCountries::Group(const std::vector<VpnNode>& nodes) {
  std::vector<Country> countries;
  for (const VpnNode& node : nodes) {
    auto found = std::find_if(countries.begin(), countries.end(),
                              [&](const Country& country) { return country.id == node.countryId; });
    if (found == countries.end()) {
      countries.push_back({node.countryId, node.country, 1});
    } else {
      ++found->nodeCount;
    }
  }
  return countries;
}

std::vector<VpnNode> NodeCountries::NodesOf(const std::vector<VpnNode>& nodes, WStringView countryId) {
  std::vector<VpnNode> chosen;
  std::copy_if(nodes.begin(), nodes.end(), std::back_inserter(chosen),
               [&](const VpnNode& node) { return node.countryId == countryId; });
  return chosen;
}

const VpnNode* NodeCountries::Find(const std::vector<VpnNode>& nodes, WStringView nodeId) {
  const auto found = std::find_if(nodes.begin(), nodes.end(), [&](const VpnNode& node) { return node.id == nodeId; });
  return found == nodes.end() ? nullptr : &*found;
}

WString NodeCountries::FlagFile(WStringView countryId) {
  static constexpr std::array<std::pair<std::u16string_view, std::u16string_view>, 4> kFlags = {{
      {u"1", u"CN.png"},
      {u"2", u"US.png"},
      {u"3", u"KR.png"},
      {u"4", u"JP.png"},
  }};
  for (const auto& [id, file] : kFlags) {
    if (id == countryId) return WString(file);
  }
  return {};
}

}  // namespace tarvo
