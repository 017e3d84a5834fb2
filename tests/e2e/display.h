#pragma once
// What the end-to-end tests see of the test command's display and run on it: shell
// commands with their output, and the shown windows xdotool finds.
//
// Threads: the test's thread.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::e2e {

// A shown window of the display: its X id and its place.
struct Window {
  std::string id;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Window&) const = default;
};

// The whole content of a file ("" when it cannot be read).
std::string ReadFile(const std::filesystem::path& path);
// Runs `command` through the shell and returns what it printed.
std::string Command(const std::string& command);
// The shown windows xdotool finds with `query` (its search arguments; conditions
// are alternatives unless the query starts with --all), in xdotool's order.
std::vector<Window> Windows(const std::string& query);
// The largest of the shown windows `query` finds, or nullopt.
std::optional<Window> LargestWindow(const std::string& query);

}  // namespace tarvo::e2e
