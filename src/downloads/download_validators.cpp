#include "downloads/download_validators.h"

#include "store/info_records.h"

namespace tarvo {

WString DownloadValidators::Get(const WString& url) const {
  WString value;
  InfoRecords(database_).GetInfo(KeyOf(url), value);
  return value;
}

void DownloadValidators::Set(const WString& url, const WString& validator) const {
  if (validator.empty()) {
    Remove(url);
  } else {
    InfoRecords(database_).SetInfo(KeyOf(url), validator);
  }
}

void DownloadValidators::Remove(const WString& url) const { InfoRecords(database_).DeleteInfo(KeyOf(url)); }

}  // namespace tarvo
