#pragma once

#include <array>
#include <string_view>

namespace tarvo {

// Host names seeded into domain_type with type 2 (rendered by the compatibility
// engine): Chinese banks' web, online-banking, card and service hosts and the
// credit-reference service. Every host appears once across the three lists, since
// domain is the table's primary key and one duplicate would fail a whole insert.
extern const std::array<std::string_view, 10> kLargeBankHosts;       // upgrade step 1
extern const std::array<std::string_view, 5> kMerchantsBankHosts;    // upgrade step 6, first insert
extern const std::array<std::string_view, 346> kBankServiceHosts;    // upgrade step 6, second insert

// A test host that early files could carry; upgrade step 3 deletes it. No step
// seeds it.
inline constexpr std::string_view kRetiredTestHost = "ie-test.tarvo.example";

}  // namespace tarvo
