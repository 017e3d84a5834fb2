#include "e2e/display.h"

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

namespace tarvo::e2e {

std::string ReadFile(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

std::string Command(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    pclose(pipe);
  }
  return output;
}

std::vector<Window> Windows(const std::string& query) {
  const std::string geometry =
      Command("xdotool search --onlyvisible " + query + " getwindowgeometry --shell %@ 2>/dev/null");
  std::vector<Window> windows;
  const std::regex entry("WINDOW=([0-9]+)\\nX=(-?[0-9]+)\\nY=(-?[0-9]+)\\nWIDTH=([0-9]+)\\nHEIGHT=([0-9]+)");
  for (auto it = std::sregex_iterator(geometry.begin(), geometry.end(), entry); it != std::sregex_iterator(); ++it) {
    windows.push_back({(*it)[1], std::stoi((*it)[2]), std::stoi((*it)[3]), std::stoi((*it)[4]), std::stoi((*it)[5])});
  }
  return windows;
}

std::optional<Window> LargestWindow(const std::string& query) {
  std::optional<Window> largest;
  for (const Window& window : Windows(query)) {
    if (!largest || window.width * window.height > largest->width * largest->height) largest = window;
  }
  return largest;
}

}  // namespace tarvo::e2e
