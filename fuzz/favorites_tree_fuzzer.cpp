// The browser's favourites document: a stored text (the profile's copy) and a
// document from elsewhere (the service, a file) checked before it is taken. A checked
// tree prints and reads back as itself, and the tree operations work on it whatever
// it holds.
#include <json/json.h>

#include "favorites/favorites_tree.h"
#include "fuzz_support.h"

using tarvo::FavoritesTree;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<FavoritesTree> stored = FavoritesTree::Parse(tarvo::fuzz::AsText(data, size));
  if (!stored) {
    return 0;
  }
  // Stored texts are read as they are: the operations must cope with anything.
  FavoritesTree tree = *stored;
  (void)tree.CountAll();
  (void)tree.BookmarkUrls();
  (void)tree.ContainsUrl("http://a/");
  const int64_t next = tree.NextId();
  tree.Append(FavoritesTree::NewBookmark(next, "1", "n", "http://a/", 1));
  if (tree.Find(std::to_string(next)) == nullptr) {
    tarvo::fuzz::Fail("an appended bookmark cannot be found");
  }
  (void)tree.Replace(FavoritesTree::NewBookmark(next, "", "m", "http://b/", 2));
  (void)tree.RemoveUrl("http://b/");
  (void)tree.Remove("1");

  std::string problem;
  if (const std::optional<FavoritesTree> checked = FavoritesTree::Checked(stored->Items(), problem)) {
    const std::optional<FavoritesTree> back = FavoritesTree::Parse(checked->ToText());
    if (!back || back->ToText() != checked->ToText()) {
      tarvo::fuzz::Fail("a checked document does not read back as itself");
    }
  } else if (problem.empty()) {
    tarvo::fuzz::Fail("a refused document without a reason");
  }
  return 0;
}
