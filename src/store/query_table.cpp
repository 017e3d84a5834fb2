#include "store/query_table.h"

#include <cstdlib>

namespace tarvo {

std::string QueryTable::Text(size_t row, size_t column) const {
  if (row >= rows.size() || column >= rows[row].size() || !rows[row][column]) {
    return {};
  }
  return *rows[row][column];
}

int64_t QueryTable::Integer(size_t row, size_t column) const {
  return std::strtoll(Text(row, column).c_str(), nullptr, 10);
}

}  // namespace tarvo
