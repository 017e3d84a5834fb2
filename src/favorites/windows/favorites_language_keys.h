#pragma once
// Language keys of the favourites bar's menus and the favourites window.
#include <array>
#include <utility>

#include "platform/text.h"

namespace tarvo::FavoritesLanguageKeys {

using ControlText = std::pair<const char16_t*, WStringView>;  // control name, language key

// The pages' context menu, over a link.
inline constexpr char16_t kAddLinkToFavorites[] = u"cefmenu/add_favor";

// The bar's right-click menu, by command number (1 to 14).
inline constexpr std::array<WStringView, 14> kRightMenu = {
    u"favorrightmenu/open_tab",        u"favorrightmenu/open_window",     u"favorrightmenu/open_private",
    u"favorrightmenu/open_all",        u"favorrightmenu/open_all_window", u"favorrightmenu/open_all_private",
    u"favorrightmenu/rename",          u"favorrightmenu/delete",          u"favorrightmenu/add_page",
    u"favorrightmenu/add_folder",      u"favorrightmenu/sort_name",       u"favorrightmenu/sort_time",
    u"favorrightmenu/manage",          u"favorrightmenu/hide_bar",
};

// The favourites window: captions that have no language picture, and tooltips of the
// ones that have.
inline constexpr std::array<ControlText, 8> kFavoriteWnd = {{
    {u"favor/titledef", u"favor/titledef"},
    {u"favor/title", u"favor/title"},
    {u"favor/url", u"favor/url"},
    {u"favor/folder", u"favor/folder"},
    {u"favor/newfold", u"favor/newfold"},
    {u"favor/okbtn", u"favor/okbtn"},
    {u"favor/ccbtn", u"favor/ccbtn"},
    {u"favor/import", u"favor/import"},
}};
inline constexpr WStringView kEmptyFolder = u"favor/empty_folder";
inline constexpr WStringView kExport = u"favor/export";
inline constexpr WStringView kTopLevel = u"favor/top_level";
inline constexpr WStringView kNewFolderName = u"favor/new_folder_name";
inline constexpr WStringView kDeleteFolder = u"favor/delete_folder";
inline constexpr WStringView kNeedAddress = u"favor/need_address";
inline constexpr WStringView kNotSaved = u"favor/not_saved";
inline constexpr WStringView kImportDone = u"favor/import_done";
inline constexpr WStringView kImportDropped = u"favor/import_dropped";
inline constexpr WStringView kImportUnreadable = u"favor/import_unreadable";
inline constexpr WStringView kImportNotBookmarks = u"favor/import_not_bookmarks";
inline constexpr WStringView kImportEmpty = u"favor/import_empty";
inline constexpr WStringView kImportRefused = u"favor/import_refused";
inline constexpr WStringView kExportDone = u"favor/export_done";
inline constexpr WStringView kExportFailed = u"favor/export_failed";
inline constexpr WStringView kFileFilter = u"favor/file_filter";
inline constexpr WStringView kPending = u"favor/pending";

}  // namespace tarvo::FavoritesLanguageKeys
