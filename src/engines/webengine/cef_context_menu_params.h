#pragma once

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

// What the context menu was opened on. An immutable snapshot.
class CefContextMenuParams {
 public:
  struct Data {
    int type_flags = CM_TYPEFLAG_NONE;
    cef_context_menu_media_type_t media_type = CM_MEDIATYPE_NONE;
    bool has_image_contents = false;
    CefString link_url;
    CefString source_url;
    CefString page_url;
    CefString selection_text;
    int x = 0;
    int y = 0;
  };

  explicit CefContextMenuParams(Data data) : data_(std::move(data)) {}

  int GetTypeFlags() const { return data_.type_flags; }
  cef_context_menu_media_type_t GetMediaType() const { return data_.media_type; }
  bool HasImageContents() const { return data_.has_image_contents; }
  const CefString& GetLinkUrl() const { return data_.link_url; }
  const CefString& GetSourceUrl() const { return data_.source_url; }
  const CefString& GetPageUrl() const { return data_.page_url; }
  const CefString& GetSelectionText() const { return data_.selection_text; }
  bool IsEditable() const { return (data_.type_flags & CM_TYPEFLAG_EDITABLE) != 0; }
  int GetXCoord() const { return data_.x; }
  int GetYCoord() const { return data_.y; }

 private:
  Data data_;
};

}  // namespace tarvo::cef
