#pragma once

namespace tarvo::ClientLanguageKeys {

// Items of the page's context menu: on an editable field ...
inline constexpr char16_t kEditCut[] = u"addressedit_rightmenu/cut";
inline constexpr char16_t kEditCopy[] = u"addressedit_rightmenu/copy";
inline constexpr char16_t kEditPaste[] = u"addressedit_rightmenu/paste";
inline constexpr char16_t kEditPasteAndSearch[] = u"addressedit_rightmenu/paste_and_search";
inline constexpr char16_t kEditDelete[] = u"addressedit_rightmenu/delete";
inline constexpr char16_t kEditSelectAll[] = u"addressedit_rightmenu/selectall";
// ... and anywhere else.
inline constexpr char16_t kOpenInNewTab[] = u"cefmenu/open_in_newtab";
inline constexpr char16_t kOpenInNewWindow[] = u"cefmenu/open_in_newwnd";
inline constexpr char16_t kOpenInIncognito[] = u"cefmenu/open_in_newcog";
inline constexpr char16_t kSaveAs[] = u"cefmenu/save_as";
inline constexpr char16_t kCopyUrl[] = u"cefmenu/copy_url";
inline constexpr char16_t kCopy[] = u"cefmenu/copy";
inline constexpr char16_t kSavePictureAs[] = u"cefmenu/save_pic_as";
inline constexpr char16_t kCopyPictureUrl[] = u"cefmenu/copy_pic_url";
inline constexpr char16_t kCopyPicture[] = u"cefmenu/copy_pic";
inline constexpr char16_t kReload[] = u"cefmenu/reload";
inline constexpr char16_t kProperty[] = u"cefmenu/property";

}  // namespace tarvo::ClientLanguageKeys
