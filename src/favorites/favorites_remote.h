#pragma once

#include <json/value.h>

#include <string>

#include "favorites/favorites_tree.h"
#include "platform/text.h"

namespace tarvo {

// The service's favourites endpoints: the brand's default favourites, a user's own
// favourites, and mirroring one add, change or deletion. Every request is a form POST
// whose values, item JSON included, are form-encoded, so a name or address with "&",
// "=", "+" or "%" reaches the service intact. A reply counts only when it parses,
// says "code" 200 and carries data of the expected form; otherwise the call returns
// -1 and hands nothing back. The default and user documents come without the
// bookmarks whose address BookmarkAddress refuses.
//
// Threads: any thread but the GUI thread (each call blocks for up to 30 s); no state.
class FavoritesRemote {
 public:
  static constexpr char16_t kDefaultsPath[] = u"app/v1.0/default_fav";
  static constexpr char16_t kListPath[] = u"app/v1.0/list_user_fav";
  static constexpr char16_t kAddPath[] = u"app/v1.0/add_fav_item";
  static constexpr char16_t kUpdatePath[] = u"app/v1.0/update_fav_item";
  static constexpr char16_t kDeletePath[] = u"app/v1.0/del_user_fav";

  // Why a change did not reach the service: it could not be asked (or asks again
  // later: a lapsed token, a busy service), the item is not there, or the service
  // will never take the change as sent.
  static constexpr int kUnreachable = -1;
  static constexpr int kNotFound = -2;
  static constexpr int kRefused = -3;

  // The brand's default document ("data"). 0 or -1.
  static int FetchDefaults(FavoritesTree& defaults);
  // The user's document ("data" member "favor"). 0 or -1.
  static int FetchUserFavorites(const WString& token, FavoritesTree& favorites);
  // Stores `item` on the service; on success `item` becomes the service's copy (with
  // the service's ids). 0, kUnreachable or kRefused.
  static int Add(const WString& token, Json::Value& item);
  // Replaces the service's copy of `item`. 0, kUnreachable, kNotFound or kRefused.
  static int Update(const WString& token, const Json::Value& item);
  // Deletes the items of a comma-separated id list (a folder takes its bookmarks).
  // 0, kUnreachable or kRefused; `deleted`, when given, receives the ids the service
  // says it removed.
  static int Delete(const WString& token, const std::string& ids, std::vector<std::string>* deleted = nullptr);
};

}  // namespace tarvo
