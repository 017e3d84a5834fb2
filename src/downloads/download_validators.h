#pragma once

#include "platform/text.h"
#include "store/user_database.h"

namespace tarvo {

// The validator each download's server announced (a strong ETag, else its
// Last-Modified date), kept so a download taken up after a restart asks for the rest
// of exactly the same file (If-Range). Stored in the info table, one key per URL.
// Threads: any; the database guards itself. Holds a non-owning reference.
class DownloadValidators {
 public:
  explicit DownloadValidators(UserDatabase& database = UserDatabase::Instance()) : database_(database) {}

  // Empty when none is known.
  WString Get(const WString& url) const;
  // An empty validator forgets the URL's.
  void Set(const WString& url, const WString& validator) const;
  void Remove(const WString& url) const;

 private:
  static WString KeyOf(const WString& url) { return u"download_validator " + url; }

  UserDatabase& database_;
};

}  // namespace tarvo
