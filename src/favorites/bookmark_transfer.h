#pragma once

#include <string>

#include "platform/text.h"

namespace tarvo {

class FavoritesStore;

// Moves bookmarks between the favourites and a Netscape bookmark file: the
// favourites window and `tarvo-cli bookmarks` both go through here. An import adds
// the file's items after the existing ones (nothing existing is changed); an export
// writes the whole document to a temporary file beside the target and renames it into
// place, so a full disk never leaves half a file where an old one was.
//
// Threads: a worker (an import of a logged-in user sends every item to the service);
// no state.
class BookmarkTransfer {
 public:
  // Files larger than this are refused unread (no bookmark file comes near it).
  static constexpr uintmax_t kLargestFile = 64u * 1024u * 1024u;

  enum class Status {
    kDone,
    kUnreadable,     // the file could not be read (missing, a folder, too large)
    kNotBookmarks,   // the file is not a Netscape bookmark file
    kEmpty,          // a bookmark file without a single bookmark or folder
    kRefused,        // the favourites took none of the items
    kUnwritable,     // the file could not be written
  };
  struct Result {
    Status status = Status::kDone;
    int bookmarks = 0;  // bookmarks read or written
    int folders = 0;    // folders read or written
    // Bookmarks of an imported file left out for their address ("javascript:",
    // "data:", "file:"; BookmarkAddress).
    int dropped = 0;
    std::string detail;  // what went wrong, for diagnostics and the command line
  };

  static Result Import(const std::string& utf8Path, FavoritesStore& store);
  static Result Export(const std::string& utf8Path, FavoritesStore& store);
};

}  // namespace tarvo
