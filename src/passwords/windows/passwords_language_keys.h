#pragma once
// The language keys of the saved passwords: the offer bar, and the passwords page of
// the settings window.
namespace tarvo::PasswordsLanguageKeys {

inline constexpr char16_t kOfferSave[] = u"passwords/offer_save";
inline constexpr char16_t kOfferSaveNoUser[] = u"passwords/offer_save_no_user";
inline constexpr char16_t kOfferUpdate[] = u"passwords/offer_update";
inline constexpr char16_t kSave[] = u"passwords/save";
inline constexpr char16_t kUpdate[] = u"passwords/update";
inline constexpr char16_t kNever[] = u"passwords/never";
inline constexpr char16_t kNotNow[] = u"passwords/not_now";
inline constexpr char16_t kNoKeyring[] = u"passwords/no_keyring";
inline constexpr char16_t kSaveFailed[] = u"passwords/save_failed";
inline constexpr char16_t kNoUser[] = u"passwords/no_user";
inline constexpr char16_t kClose[] = u"passwords/close";

inline constexpr char16_t kTabGeneral[] = u"settings/tab_general";
inline constexpr char16_t kTabPasswords[] = u"settings/tab_passwords";
inline constexpr char16_t kOfferPasswords[] = u"settings/offer_passwords";
inline constexpr char16_t kSavedPasswords[] = u"settings/saved_passwords";
inline constexpr char16_t kListEmpty[] = u"settings/passwords_none";
inline constexpr char16_t kListNever[] = u"settings/passwords_never";
inline constexpr char16_t kShow[] = u"settings/passwords_show";
inline constexpr char16_t kHide[] = u"settings/passwords_hide";
inline constexpr char16_t kDelete[] = u"settings/passwords_delete";
inline constexpr char16_t kDeleteAll[] = u"settings/passwords_delete_all";
inline constexpr char16_t kListUnavailable[] = u"settings/passwords_unavailable";

}  // namespace tarvo::PasswordsLanguageKeys
