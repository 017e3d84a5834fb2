#include "favorites/netscape_bookmark_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

#include "favorites/bookmark_address.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace tarvo {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size() || at > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[at + i]) != Lower(prefix[i])) return false;
  }
  return true;
}

size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
  for (size_t at = text.find('<', from); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (StartsWithNoCase(text, at, needle)) return at;
  }
  return std::string_view::npos;
}

// Replaces malformed UTF-8 so the favourites' JSON stays valid.
std::string CleanUtf8(std::string_view text) { return WideToUtf8(Utf8ToWide(text)); }

// One tag of the file: its lower-case name ("a", "/dl" ...), its attributes (lower-case
// names, raw values) and where it ends.
struct Tag {
  std::string name;
  std::map<std::string, std::string> attributes;
  size_t end = 0;  // just after '>'
};

// Reads the tag starting at text[at] == '<'; a tag that never closes ends the text.
Tag ReadTag(std::string_view text, size_t at) {
  Tag tag;
  size_t i = at + 1;
  while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '/' || text[i] == '!')) {
    tag.name += Lower(text[i++]);
  }
  while (i < text.size() && text[i] != '>') {
    if (std::isspace(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    std::string name;
    while (i < text.size() && text[i] != '=' && text[i] != '>' && !std::isspace(static_cast<unsigned char>(text[i]))) {
      name += Lower(text[i++]);
    }
    std::string value;
    if (i < text.size() && text[i] == '=') {
      ++i;
      const char quote = i < text.size() && (text[i] == '"' || text[i] == '\'') ? text[i] : '\0';
      if (quote != '\0') ++i;
      const size_t start = i;
      while (i < text.size() && (quote != '\0' ? text[i] != quote : text[i] != '>' && !std::isspace(static_cast<unsigned char>(text[i])))) ++i;
      value.assign(text.substr(start, i - start));
      if (quote != '\0' && i < text.size()) ++i;
    }
    if (name.empty()) {
      ++i;  // a stray character
      continue;
    }
    tag.attributes[name] = std::move(value);
  }
  tag.end = i < text.size() ? i + 1 : text.size();
  return tag;
}

int64_t DateOf(const Tag& tag) {
  const auto found = tag.attributes.find("add_date");
  int64_t date = 0;
  if (found != tag.attributes.end()) {
    const std::string& text = found->second;
    std::from_chars(text.data(), text.data() + text.size(), date);
  }
  return date > 0 ? date : NowSeconds();
}

// The text of an element from `from` up to the next tag, decoded; `next` is set after
// that tag when it is the closing one `closing` (e.g. "</a"), else at it. The format
// escapes "<" in names, so the next tag ends the text; looking further for a closing
// tag that is missing would read the rest of the file for every such element.
std::string ElementText(std::string_view text, size_t from, std::string_view closing, size_t& next) {
  const size_t stop = std::min(text.find('<', from), text.size());
  next = StartsWithNoCase(text, stop, closing) ? ReadTag(text, stop).end : stop;
  return CleanUtf8(NetscapeBookmarkFile::Unescape(text.substr(from, stop - from)));
}

// `path` cut to kMaxPathBytes at a character boundary, "…" marking the cut; a path
// within the bound stays as it is (so a cut path read back is not cut again).
std::string BoundedPath(std::string path) {
  constexpr std::string_view kEllipsis = "\u2026";
  if (path.size() <= NetscapeBookmarkFile::kMaxPathBytes) return path;
  size_t cut = NetscapeBookmarkFile::kMaxPathBytes - kEllipsis.size();
  while (cut > 0 && (static_cast<unsigned char>(path[cut]) & 0xC0) == 0x80) --cut;
  path.resize(cut);
  return path + std::string(kEllipsis);
}

// Builds the flattened items while the file is read. A level refers to its folder
// by position and keeps no copy of its path, so the memory taken grows with the file,
// whatever its depth.
class FlatteningReader {
 public:
  void OpenFolder(const std::string& name, int64_t date, bool toolbar) {
    const Level parent = levels_.back();
    // A browser's toolbar at the file's top is the favourites bar itself; past the
    // deepest level kept, a folder's bookmarks join the folder it is in.
    if ((toolbar && parent.depth == 0) || parent.depth >= NetscapeBookmarkFile::kMaxFolderDepth) {
      levels_.push_back(parent);
      return;
    }
    const std::string path =
        parent.folder < 0 ? BoundedPath(name)
                          : BoundedPath(PathOf(parent.folder) + std::string(NetscapeBookmarkFile::kPathSeparator) + name);
    if (parent.folder >= 0) ++folders_[static_cast<size_t>(parent.folder)].subfolders;
    Json::Value folder = FavoritesTree::NewFolder(0, path, date);
    folder.removeMember("id");
    folder["child"] = Json::Value(Json::arrayValue);
    folders_.push_back(Pending{static_cast<int>(order_.size()), 0});
    order_.push_back(std::move(folder));
    levels_.push_back(Level{static_cast<int>(folders_.size()) - 1, parent.depth + 1});
  }
  // A list without a heading (the file's own, or a stray one) stays on its level.
  void OpenUnnamedList() { levels_.push_back(levels_.back()); }
  void CloseFolder() {
    if (levels_.size() > 1) levels_.pop_back();
  }
  void AddBookmark(const std::string& name, const std::string& url, int64_t date) {
    Json::Value bookmark = FavoritesTree::NewBookmark(0, "", name, url, date);
    bookmark.removeMember("id");
    const int folder = levels_.back().folder;
    if (folder < 0) {
      order_.push_back(std::move(bookmark));
      return;
    }
    order_[static_cast<size_t>(folders_[static_cast<size_t>(folder)].item)]["child"].append(std::move(bookmark));
  }
  // The items in order, without the folders that only held other folders.
  std::vector<Json::Value> Take() {
    std::vector<bool> drop(order_.size(), false);
    for (const Pending& folder : folders_) {
      const Json::Value& item = order_[static_cast<size_t>(folder.item)];
      drop[static_cast<size_t>(folder.item)] = item["child"].empty() && folder.subfolders > 0;
    }
    std::vector<Json::Value> items;
    for (size_t i = 0; i < order_.size(); ++i) {
      if (!drop[i]) items.push_back(std::move(order_[i]));
    }
    return items;
  }

 private:
  struct Level {
    int folder = -1;   // index in folders_, -1 for the top level
    size_t depth = 0;  // folders kept above and at this level
  };
  struct Pending {
    int item = 0;  // index in order_
    int subfolders = 0;
  };
  std::string PathOf(int folder) const {
    return FavoritesTree::Name(order_[static_cast<size_t>(folders_[static_cast<size_t>(folder)].item)]);
  }

  std::vector<Json::Value> order_;
  std::vector<Pending> folders_;
  std::vector<Level> levels_{Level{}};
};

bool LooksLikeBookmarkFile(std::string_view html) {
  if (FindNoCase(html, "<!doctype netscape-bookmark-file", 0) != std::string_view::npos) return true;
  return FindNoCase(html, "<dl", 0) != std::string_view::npos &&
         (FindNoCase(html, "<a ", 0) != std::string_view::npos || FindNoCase(html, "<h3", 0) != std::string_view::npos);
}

}  // namespace

std::optional<std::vector<Json::Value>> NetscapeBookmarkFile::Parse(std::string_view html, std::string& problem,
                                                                     int* droppedAddresses) {
  if (!LooksLikeBookmarkFile(html)) {
    problem = "not a bookmark file (no Netscape bookmark list in it)";
    return std::nullopt;
  }
  FlatteningReader reader;
  struct PendingFolder {
    std::string name;
    int64_t date = 0;
    bool toolbar = false;
  };
  std::optional<PendingFolder> heading;  // an <H3> waiting for its <DL>
  for (size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at)) {
    const Tag tag = ReadTag(html, at);
    at = tag.end;
    if (tag.name == "dl") {
      if (heading) {
        reader.OpenFolder(heading->name, heading->date, heading->toolbar);
      } else {
        reader.OpenUnnamedList();
      }
      heading.reset();
    } else if (tag.name == "/dl") {
      reader.CloseFolder();
    } else if (tag.name == "h3") {
      size_t next = at;
      heading = PendingFolder{ElementText(html, at, "</h3", next), DateOf(tag),
                              tag.attributes.count("personal_toolbar_folder") != 0};
      at = next;
    } else if (tag.name == "a") {
      size_t next = at;
      const std::string name = ElementText(html, at, "</a", next);
      at = next;
      const auto href = tag.attributes.find("href");
      if (href == tag.attributes.end() || href->second.empty()) continue;
      std::string url = CleanUtf8(Unescape(href->second));
      if (BookmarkAddress::IsRefused(url)) {
        if (droppedAddresses != nullptr) ++*droppedAddresses;
        continue;
      }
      reader.AddBookmark(name, url, DateOf(tag));
    }
  }
  return reader.Take();
}

std::string NetscapeBookmarkFile::Write(const FavoritesTree& tree) {
  std::string out =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
      "<!-- This is an automatically generated file.\n"
      "     It will be read and overwritten.\n"
      "     DO NOT EDIT! -->\n"
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
      "<TITLE>Bookmarks</TITLE>\n"
      "<H1>Bookmarks</H1>\n"
      "<DL><p>\n";
  const auto date = [](const Json::Value& item) {
    const std::string text = FavoritesTree::Member(item, "date");
    return text.empty() ? std::string() : " ADD_DATE=\"" + Escape(text) + "\"";
  };
  const auto bookmark = [&](const Json::Value& item, const std::string& indent) {
    out += indent + "<DT><A HREF=\"" + Escape(FavoritesTree::Url(item)) + "\"" + date(item) + ">" +
           Escape(FavoritesTree::Name(item)) + "</A>\n";
  };
  for (const Json::Value& item : tree.Items()) {
    if (!FavoritesTree::IsFolder(item)) {
      bookmark(item, "    ");
      continue;
    }
    out += "    <DT><H3" + date(item) + ">" + Escape(FavoritesTree::Name(item)) + "</H3>\n    <DL><p>\n";
    if (item.isMember("child") && item["child"].isArray()) {
      for (const Json::Value& child : item["child"]) bookmark(child, "        ");
    }
    out += "    </DL><p>\n";
  }
  out += "</DL><p>\n";
  return out;
}

std::string NetscapeBookmarkFile::Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string NetscapeBookmarkFile::Unescape(std::string_view text) {
  static const std::map<std::string, uint32_t, std::less<>> kNamed = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    // An entity is short: the search for its end stays near, so a text full of "&"
    // is read once.
    const size_t semicolon = text[i] == '&' ? text.substr(i, 12).find(';') : std::string_view::npos;
    if (semicolon == std::string_view::npos || semicolon > 10) {
      out += text[i];
      continue;
    }
    const std::string_view entity = text.substr(i + 1, semicolon - 1);
    uint32_t code = 0;
    bool known = false;
    if (entity.size() > 1 && entity[0] == '#') {
      const bool hex = entity[1] == 'x' || entity[1] == 'X';
      const std::string_view digits = entity.substr(hex ? 2 : 1);
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
      known = error == std::errc() && end == digits.data() + digits.size() && !digits.empty();
    } else if (const auto named = kNamed.find(entity); named != kNamed.end()) {
      code = named->second;
      known = true;
    }
    if (!known) {
      out += text[i];
      continue;
    }
    out += CodePointToUtf8(code);
    i += semicolon;
  }
  return out;
}

}  // namespace tarvo
