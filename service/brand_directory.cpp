#include "brand_directory.h"

#include "service_database.h"

namespace tarvo::service {

std::optional<std::string> ResolveBrand(DatabaseConnection& db, std::string_view brand) {
  if (brand.empty()) {
    return std::nullopt;
  }
  auto exact = db.Prepare("SELECT name FROM brands WHERE name=?1");
  exact.Bind(1, brand);
  if (exact.Step()) {
    return exact.Text(0);
  }
  auto fallback = db.Prepare(
      "SELECT b.name FROM settings s JOIN brands b ON b.name=s.value WHERE s.key='default_brand'");
  if (fallback.Step()) {
    return fallback.Text(0);
  }
  return std::nullopt;
}

}  // namespace tarvo::service
