#pragma once

#include "platform/text.h"
#include "store/user_database.h"

namespace tarvo {

// What identifies the file of each download, kept so a download taken up after a
// restart asks for the rest of exactly the same file and takes no other answer for
// it: the validator its server announced (a strong ETag, else its Last-Modified
// date; If-Range) and the media type the engine received it as. Stored in the info
// table, one key per URL for each.
// Threads: any; the database guards itself. Holds a non-owning reference.
class DownloadValidators {
 public:
  explicit DownloadValidators(UserDatabase& database) : database_(database) {}

  // Empty when none is known.
  WString Get(const WString& url) const;
  // An empty validator forgets the URL's.
  void Set(const WString& url, const WString& validator) const;
  // Forgets the validator and the type.
  void Remove(const WString& url) const;
  // The media type ("application/zip"), empty when none is known; an empty type
  // forgets the URL's.
  WString ContentType(const WString& url) const;
  void SetContentType(const WString& url, const WString& type) const;

 private:
  static WString KeyOf(const WString& url) { return u"download_validator " + url; }
  static WString TypeKeyOf(const WString& url) { return u"download_type " + url; }
  // The info value of `key` ("" when absent); an empty value deletes the key.
  WString Read(const WString& key) const;
  void Write(const WString& key, const WString& value) const;

  UserDatabase& database_;
};

}  // namespace tarvo
