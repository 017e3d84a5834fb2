#include "account/vpn_node_list.h"

#include "net/payload_cipher.h"
#include "net/service_reply.h"

namespace tarvo {

namespace {

std::optional<WString> Deciphered(const PayloadCipher& cipher, const Json::Value& node, std::string_view name) {
  std::string plain;
  if (cipher.DecryptText(ServiceReply::ReadString(node, name), plain) != 0) return std::nullopt;
  return Utf8ToWide(plain);
}

}  // namespace

std::optional<std::vector<VpnNode>> VpnNodeList::Read(const Json::Value& data) {
  if (!data.isArray()) return std::nullopt;
  const PayloadCipher cipher;
  std::vector<VpnNode> nodes;
  for (const Json::Value& element : data) {
    if (!element.isObject()) return std::nullopt;
    VpnNode node;
    node.id = Utf8ToWide(ServiceReply::ReadString(element, "id"));
    node.countryId = Utf8ToWide(ServiceReply::ReadString(element, "country_id"));
    node.country = Utf8ToWide(ServiceReply::ReadString(element, "country"));
    node.port = Utf8ToWide(ServiceReply::ReadString(element, "port"));
    node.status = Utf8ToWide(ServiceReply::ReadString(element, "status"));
    const auto ip = Deciphered(cipher, element, "ip");
    const auto area = Deciphered(cipher, element, "area");
    if (!ip || !area || node.id.empty() || ip->empty() || node.port.empty()) return std::nullopt;
    node.ip = *ip;
    node.area = *area;
    nodes.push_back(std::move(node));
  }
  return nodes;
}

}  // namespace tarvo
