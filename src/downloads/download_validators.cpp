#include "downloads/download_validators.h"

#include "store/info_records.h"

namespace tarvo {

WString DownloadValidators::Get(const WString& url) const { return Read(KeyOf(url)); }

void DownloadValidators::Set(const WString& url, const WString& validator) const { Write(KeyOf(url), validator); }

void DownloadValidators::Remove(const WString& url) const {
  Write(KeyOf(url), WString());
  Write(TypeKeyOf(url), WString());
}

WString DownloadValidators::ContentType(const WString& url) const { return Read(TypeKeyOf(url)); }

void DownloadValidators::SetContentType(const WString& url, const WString& type) const {
  Write(TypeKeyOf(url), type);
}

WString DownloadValidators::Read(const WString& key) const {
  WString value;
  InfoRecords(database_).GetInfo(key, value);
  return value;
}

void DownloadValidators::Write(const WString& key, const WString& value) const {
  if (value.empty()) {
    InfoRecords(database_).DeleteInfo(key);
  } else {
    InfoRecords(database_).SetInfo(key, value);
  }
}

}  // namespace tarvo
