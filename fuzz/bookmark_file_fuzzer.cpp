// Bookmark files (Netscape HTML) the user imports: the reader flattens them into
// the favourites' two levels, takes heap in proportion to the file however deep its
// folders nest, and what it reads, written out again, reads back as the same items.
#include <json/json.h>

#include "favorites/favorites_tree.h"
#include "favorites/netscape_bookmark_file.h"
#include "fuzz_support.h"
#include "heap_peak.h"

using tarvo::FavoritesTree;
using tarvo::NetscapeBookmarkFile;

namespace {

// The heap a file may take while it is read: its items as JSON values cost up to
// some sixty times their text (a 10-byte "<a href=x>" is a whole object); a reader
// that copies paths per level takes hundreds of times a deep file's size.
constexpr size_t kHeapPerFileByte = 128;
constexpr size_t kHeapFixed = size_t{4} << 20;

// The read items numbered as the store numbers an import.
FavoritesTree Numbered(const std::vector<Json::Value>& items) {
  FavoritesTree tree;
  int64_t id = 1;
  for (Json::Value item : items) {
    item["id"] = std::to_string(id++);
    Json::Value children(Json::arrayValue);
    for (Json::Value child : item["child"]) {
      child["id"] = std::to_string(id++);
      child["folder"] = item["id"];
      children.append(child);
    }
    if (item.isMember("child")) item["child"] = children;
    tree.Append(item);
  }
  return tree;
}

// Names and addresses of the items in order, levels marked.
std::string Outline(const FavoritesTree& tree) {
  std::string outline;
  for (const Json::Value& item : tree.Items()) {
    outline += FavoritesTree::Name(item) + '\t' + FavoritesTree::Url(item) + '\n';
    for (const Json::Value& child : item["child"]) {
      outline += '>' + FavoritesTree::Name(child) + '\t' + FavoritesTree::Url(child) + '\n';
    }
  }
  return outline;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string problem;
  tarvo::fuzz::HeapPeak::Reset();
  const auto items = NetscapeBookmarkFile::Parse(tarvo::fuzz::AsText(data, size), problem);
  if (const auto heap = tarvo::fuzz::HeapPeak::Bytes(); heap && *heap > kHeapPerFileByte * size + kHeapFixed) {
    tarvo::fuzz::Fail("reading a bookmark file took heap out of proportion to the file");
  }
  if (!items) {
    if (problem.empty()) tarvo::fuzz::Fail("a refused file without a reason");
    return 0;
  }
  const FavoritesTree tree = Numbered(*items);
  const auto again = NetscapeBookmarkFile::Parse(NetscapeBookmarkFile::Write(tree), problem);
  if (!again || Outline(Numbered(*again)) != Outline(tree)) {
    tarvo::fuzz::Fail("a written file does not read back as the items it was written from");
  }
  return 0;
}
