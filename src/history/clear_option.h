#pragma once

#include <array>

namespace tarvo {

// The options of the clear-data window, in the fixed order the clearing takes them.
enum class ClearOption { kRecords, kDownloads, kFiles, kCookies, kPasswords, kForms };

inline constexpr std::array kClearOptions = {ClearOption::kRecords,  ClearOption::kDownloads, ClearOption::kFiles,
                                              ClearOption::kCookies, ClearOption::kPasswords, ClearOption::kForms};

}  // namespace tarvo
