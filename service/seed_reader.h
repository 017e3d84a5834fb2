#pragma once

#include <cstdint>
#include <string>

#include "seed_data.h"

namespace tarvo::service {

// Reads and checks a seed file. File names inside it (pages, installers) are
// relative to the seed file's folder and must exist.
//
// Throws ServiceError naming the file and the offending member when the file cannot
// be read, is not JSON or does not describe valid data; nothing is loaded then.
// Any thread; no state.
SeedData ReadSeedFile(const std::string& path, int64_t now);

}  // namespace tarvo::service
