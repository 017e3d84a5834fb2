#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "api_codes.h"
#include "api_reply.h"
#include "service_database.h"

namespace tarvo::service {

// Maps the brand text a browser sends to a seeded brand: the brand of that name, or
// the seed's default brand for texts the seed does not know (browsers of other
// deployments still get the default data), or nothing when neither exists.
// Call inside ServiceDatabase::Read or Write.
std::optional<std::string> ResolveBrand(DatabaseConnection& db, std::string_view brand);

// For endpoints that read brand data: 400 for an empty brand, 404 for one that
// resolves to no brand, otherwise `answer(db, resolvedBrand)`, all under the read
// lock. Any thread.
template <class Answer>
ApiReply AnswerForBrand(ServiceDatabase& database, const std::string& brand, Answer&& answer) {
  if (brand.empty()) {
    return ApiReply::BadField("brand");
  }
  return database.Read([&](DatabaseConnection& db) {
    const auto resolved = ResolveBrand(db, brand);
    if (!resolved) {
      return ApiReply::Failure(kCodeNotFound, "unknown brand");
    }
    return answer(db, *resolved);
  });
}

}  // namespace tarvo::service
