#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

// The rows a query produced: column names, then every cell as UTF-8 text or NULL.
// Plain data, owned by the caller.
struct QueryTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::optional<std::string>>> rows;

  // The cell's text; "" for NULL or a cell that does not exist.
  std::string Text(size_t row, size_t column) const;
  // atoi-style reading of the cell: leading digits with an optional sign, 0 when
  // there are none; 64 bits wide so sizes and timestamps past 2^31 survive.
  int64_t Integer(size_t row, size_t column) const;
};

}  // namespace tarvo
