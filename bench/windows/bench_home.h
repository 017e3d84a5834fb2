#pragma once
// A temporary home for one benchmark run of the whole browser: data, configuration
// and cache folders of its own (set in the environment the browser reads), and a
// service address where nothing answers. The caller removes the folder.
// Threads: the main thread, before the browser starts.
#include <filesystem>

namespace tarvo::bench {

// The new folder, or an empty path when it could not be made.
std::filesystem::path MakeBenchHome(const char* name);

}  // namespace tarvo::bench
