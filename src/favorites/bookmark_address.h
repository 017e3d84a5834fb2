#pragma once

#include <string_view>

namespace tarvo {

// Which addresses a bookmark that comes from elsewhere (a bookmark file, the
// service's document) may carry. A bookmark is opened in the page the user is on,
// so a "javascript:" address would run its script in whatever site is open, and a
// "data:" or "file:" address shows something no site serves (a made-up page that
// looks like one, or the user's own files). Such bookmarks are dropped on the way in.
//
// Pure function; any thread.
class BookmarkAddress {
 public:
  // True for "javascript:", "data:" and "file:" addresses, the scheme read the way
  // browsers read it: leading blanks and control characters skipped, tabs and line
  // breaks inside ignored, letters of any case.
  static bool IsRefused(std::string_view url);
};

}  // namespace tarvo
