#include "session/session_file.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <json/json.h>

#include "platform/atomic_file.h"

namespace tarvo {

namespace {

constexpr int kChromium = 1;
constexpr int kCompatibility = 2;

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

SavedTab ParseTab(const Json::Value& tab) {
  SavedTab saved;
  saved.url = tab.get("url", "").isString() ? tab.get("url", "").asString() : std::string();
  const Json::Value engine = tab.get("engine", kChromium);
  saved.engineType = engine.isInt() && engine.asInt() == kCompatibility ? kCompatibility : kChromium;
  saved.pinned = tab.get("pinned", false).isBool() && tab.get("pinned", false).asBool();
  const Json::Value zoom = tab.get("zoom", 0);
  saved.zoomLevel = zoom.isNumeric() && std::isfinite(zoom.asDouble()) ? zoom.asDouble() : 0;
  saved.title = tab.get("title", "").isString() ? tab.get("title", "").asString() : std::string();
  return saved;
}

SavedWindow ParseWindow(const Json::Value& window) {
  SavedWindow saved;
  const Json::Value tabs = window.get("tabs", Json::Value());
  if (tabs.isArray()) {
    for (const Json::Value& tab : tabs) {
      if (!tab.isObject()) continue;
      SavedTab parsed = ParseTab(tab);
      if (!parsed.url.empty()) saved.tabs.push_back(std::move(parsed));
    }
  }
  const Json::Value selected = window.get("selected", 0);
  saved.selected = selected.isInt() ? selected.asInt() : 0;
  if (saved.selected < 0 || saved.selected >= static_cast<int>(saved.tabs.size())) saved.selected = 0;
  return saved;
}

}  // namespace

std::string SessionFile::Serialize(const SessionState& state) {
  Json::Value root(Json::objectValue);
  root["version"] = kVersion;
  root["clean"] = state.cleanExit;
  root["restoring"] = state.restoreAttempts;
  Json::Value windows(Json::arrayValue);
  for (const SavedWindow& window : state.windows) {
    Json::Value saved(Json::objectValue);
    saved["selected"] = window.selected;
    Json::Value tabs(Json::arrayValue);
    for (const SavedTab& tab : window.tabs) {
      Json::Value entry(Json::objectValue);
      entry["url"] = tab.url;
      entry["engine"] = tab.engineType;
      entry["pinned"] = tab.pinned;
      entry["zoom"] = tab.zoomLevel;
      if (!tab.title.empty()) entry["title"] = tab.title;
      tabs.append(entry);
    }
    saved["tabs"] = tabs;
    windows.append(saved);
  }
  root["windows"] = windows;
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, root) + "\n";
}

SessionFile::ReadResult SessionFile::Parse(const std::string& text) {
  ReadResult result;
  if (IsBlank(text)) {
    result.status = Status::kEmpty;
    return result;
  }
  Json::CharReaderBuilder builder;
  builder["failIfExtra"] = true;
  Json::Value root;
  std::string errors;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  bool parsed = false;
  try {
    parsed = reader->parse(text.data(), text.data() + text.size(), &root, &errors);
  } catch (const std::exception&) {
    parsed = false;
  }
  const Json::Value version = parsed && root.isObject() ? root.get("version", Json::Value()) : Json::Value();
  if (version.isInt() && version.asInt() > kVersion) {
    result.status = Status::kFutureVersion;
    return result;
  }
  if (!version.isInt() || version.asInt() < 1 || !root.get("windows", Json::Value()).isArray()) {
    result.status = Status::kDamaged;
    return result;
  }
  result.status = Status::kOk;
  result.state.cleanExit = root.get("clean", false).isBool() && root.get("clean", false).asBool();
  const Json::Value attempts = root.get("restoring", 0);
  result.state.restoreAttempts = attempts.isInt() && attempts.asInt() > 0 ? attempts.asInt() : 0;
  for (const Json::Value& window : root["windows"]) {
    if (!window.isObject()) continue;
    SavedWindow saved = ParseWindow(window);
    if (!saved.tabs.empty()) result.state.windows.push_back(std::move(saved));
  }
  return result;
}

SessionFile::ReadResult SessionFile::Read() const {
  std::ifstream in(path_, std::ios::binary);
  if (!in) return ReadResult{};
  std::stringstream text;
  text << in.rdbuf();
  return Parse(text.str());
}

bool SessionFile::Write(const SessionState& state) const { return AtomicFile::Replace(path_, Serialize(state)); }

bool SessionFile::SetAside() const { return std::rename(path_.c_str(), (path_ + ".bad").c_str()) == 0; }

bool SessionFile::Remove() const {
  bool removed = true;
  for (const std::string& path : {path_, path_ + ".bad"}) {
    std::error_code error;
    std::filesystem::remove(path, error);
    removed = removed && !error;
  }
  return removed;
}

}  // namespace tarvo
