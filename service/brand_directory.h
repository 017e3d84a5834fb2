#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::service {

class ServiceDatabase;

// Maps the brand text a browser sends to a seeded brand: the brand of that name, or
// the seed's default brand for texts the seed does not know (browsers of other
// deployments still get the default data), or nothing when neither exists.
// Call inside ServiceDatabase::Read or Write.
std::optional<std::string> ResolveBrand(ServiceDatabase& db, std::string_view brand);

}  // namespace tarvo::service
