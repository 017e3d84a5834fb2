#include "favorites/bookmark_transfer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "favorites/favorites_store.h"
#include "favorites/netscape_bookmark_file.h"

namespace tarvo {

namespace {

namespace fs = std::filesystem;

void Count(const Json::Value& item, BookmarkTransfer::Result& result) {
  if (!FavoritesTree::IsFolder(item)) {
    ++result.bookmarks;
    return;
  }
  ++result.folders;
  if (item.isMember("child")) result.bookmarks += static_cast<int>(item["child"].size());
}

BookmarkTransfer::Result Failure(BookmarkTransfer::Status status, std::string detail) {
  BookmarkTransfer::Result result;
  result.status = status;
  result.detail = std::move(detail);
  return result;
}

}  // namespace

BookmarkTransfer::Result BookmarkTransfer::Import(const std::string& utf8Path, FavoritesStore& store) {
  std::error_code error;
  const fs::path path(utf8Path);
  if (!fs::is_regular_file(path, error)) return Failure(Status::kUnreadable, utf8Path + " is not a readable file");
  if (fs::file_size(path, error) > kLargestFile) return Failure(Status::kUnreadable, utf8Path + " is too large");
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  if (!file.good() && !file.eof()) return Failure(Status::kUnreadable, utf8Path + " could not be read");

  std::string problem;
  int dropped = 0;
  std::optional<std::vector<Json::Value>> items = NetscapeBookmarkFile::Parse(text.str(), problem, &dropped);
  if (!items) return Failure(Status::kNotBookmarks, utf8Path + ": " + problem);
  if (items->empty()) {
    Result empty = Failure(Status::kEmpty, utf8Path + " holds no bookmarks");
    empty.dropped = dropped;
    return empty;
  }
  Result read;
  read.dropped = dropped;
  for (const Json::Value& item : *items) Count(item, read);
  if (store.AddItems(std::move(*items)) < 0) return Failure(Status::kRefused, "the favourites took none of the bookmarks");
  return read;
}

BookmarkTransfer::Result BookmarkTransfer::Export(const std::string& utf8Path, FavoritesStore& store) {
  const FavoritesTree tree = store.Document();
  const std::string text = NetscapeBookmarkFile::Write(tree);
  const fs::path target(utf8Path);
  const fs::path temporary = target.parent_path() / ("." + target.filename().string() + ".part");
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    file.flush();
    if (!file.good()) {
      file.close();
      std::remove(temporary.c_str());
      return Failure(Status::kUnwritable, utf8Path + " could not be written");
    }
  }
  std::error_code error;
  fs::rename(temporary, target, error);
  if (error) {
    std::remove(temporary.c_str());
    return Failure(Status::kUnwritable, utf8Path + ": " + error.message());
  }
  Result written;
  for (const Json::Value& item : tree.Items()) Count(item, written);
  return written;
}

}  // namespace tarvo
