#include "engines/webengine/cef_command_line.h"

namespace tarvo::cef {

CefRefPtr<CefCommandLine> CefCommandLine::CreateFromArgv(int argc, const char* const* argv) {
  auto line = std::make_shared<CefCommandLine>();
  if (argc <= 0 || argv == nullptr) {
    return line;
  }
  line->program_ = argv[0] != nullptr ? argv[0] : "";
  bool only_arguments = false;
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == nullptr) {
      continue;
    }
    const std::string text = argv[i];
    if (only_arguments || text.size() < 3 || text.compare(0, 2, "--") != 0) {
      if (text == "--") {
        only_arguments = true;
      } else {
        line->arguments_.push_back(text);
      }
      continue;
    }
    const std::string body = text.substr(2);
    const auto equals = body.find('=');
    if (equals == std::string::npos) {
      line->switches_.emplace_back(body, "");
    } else {
      line->switches_.emplace_back(body.substr(0, equals), body.substr(equals + 1));
    }
  }
  return line;
}

bool CefCommandLine::HasSwitch(const std::string& name) const {
  for (const auto& entry : switches_) {
    if (entry.first == name) {
      return true;
    }
  }
  return false;
}

std::string CefCommandLine::GetSwitchValue(const std::string& name) const {
  std::string value;
  for (const auto& entry : switches_) {
    if (entry.first == name) {
      value = entry.second;
    }
  }
  return value;
}

void CefCommandLine::AppendSwitch(const std::string& name) { switches_.emplace_back(name, ""); }

void CefCommandLine::AppendSwitchWithValue(const std::string& name, const std::string& value) {
  switches_.emplace_back(name, value);
}

std::vector<std::string> CefCommandLine::GetSwitchTexts() const {
  std::vector<std::string> texts;
  texts.reserve(switches_.size());
  for (const auto& [name, value] : switches_) {
    texts.push_back(value.empty() ? "--" + name : "--" + name + "=" + value);
  }
  return texts;
}

}  // namespace tarvo::cef
