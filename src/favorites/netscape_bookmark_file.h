#pragma once

#include <json/value.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "favorites/favorites_tree.h"

namespace tarvo {

// The Netscape bookmark file: the HTML list of folders (<H3>) and bookmarks (<A>)
// that desktop browsers import and export. Reading flattens any depth into the
// favourites' two levels: every folder that holds bookmarks becomes a top-level
// folder named by its path ("Work / Projects / 2024"); a folder that holds only
// folders appears only in its sub-folders' paths; the contents of a browser's
// toolbar folder (PERSONAL_TOOLBAR_FOLDER) become top-level items, since that is what
// the favourites bar is. Names and addresses are kept exactly (entities decoded,
// malformed UTF-8 replaced by U+FFFD); writing escapes them so they read back alike.
// A file may nest folders without end: folders below kMaxFolderDepth levels give
// their bookmarks to the folder at that level, and a path longer than kMaxPathBytes
// is cut, so reading takes memory and time in proportion to the file. Bookmarks
// whose address BookmarkAddress refuses are left out.
//
// Pure functions; any thread.
class NetscapeBookmarkFile {
 public:
  static constexpr std::string_view kPathSeparator = " / ";
  static constexpr size_t kMaxFolderDepth = 32;
  static constexpr size_t kMaxPathBytes = 1024;

  // The top-level items of the file in order (bookmarks, and folders with their
  // bookmarks in "child"), without ids; nothing, with `problem` set, when the text
  // is not a bookmark file. `droppedAddresses`, when given, counts the bookmarks
  // left out for their address.
  static std::optional<std::vector<Json::Value>> Parse(std::string_view html, std::string& problem,
                                                       int* droppedAddresses = nullptr);
  // The file of a favourites document.
  static std::string Write(const FavoritesTree& tree);
  // HTML text escaping and its reverse (named entities of the format and numeric ones).
  static std::string Escape(std::string_view text);
  static std::string Unescape(std::string_view text);
};

}  // namespace tarvo
