#pragma once

namespace tarvo::SettingsKeys {

// Every key of the settings registry. Start-up fills them once (InitSettings); from
// then on they are only read.
inline constexpr char16_t kBrand[] = u"app/brand";
inline constexpr char16_t kVersion[] = u"app/version";
inline constexpr char16_t kRegistryKey[] = u"app/regkey";
inline constexpr char16_t kLanguageFolder[] = u"app/lang";
// The browser's internal address scheme, which the user centre's pages use.
inline constexpr char16_t kUserCentre[] = u"usercenter/http";
inline constexpr char16_t kApiUrlDev[] = u"app/apiurl_dev";
inline constexpr char16_t kResetPasswordUrlDev[] = u"app/reset_password_url_dev";
inline constexpr char16_t kApiUrlPro[] = u"app/apiurl_pro";
inline constexpr char16_t kResetPasswordUrlPro[] = u"app/reset_password_url_pro";
// The service's base address every endpoint path is appended to.
inline constexpr char16_t kApiUrl[] = u"app/apiurl";
inline constexpr char16_t kResetPasswordUrl[] = u"app/reset_password_url";
// The brand's Ed25519 public keys (64 hexadecimal digits each, comma-separated) that
// signed version announcements and mirror maps must verify with.
inline constexpr char16_t kServiceKeys[] = u"app/service_keys";
// A PEM file of certification authorities trusted for the service's own host besides
// the system's store (deployments with a CA of their own); empty: the system's alone.
inline constexpr char16_t kServiceCaFile[] = u"app/service_ca";
inline constexpr char16_t kDataRoot[] = u"appdata/path";
inline constexpr char16_t kCacheFolder[] = u"appdata/cache";
inline constexpr char16_t kCookieFolder[] = u"appdata/cookie";
inline constexpr char16_t kPictureFolder[] = u"appdata/picture";
inline constexpr char16_t kLogFolder[] = u"appdata/log";
inline constexpr char16_t kEngineLogFile[] = u"appdata/log/cef.file";
inline constexpr char16_t kDatabaseFile[] = u"appdata/db";
// The start page of a new tab and of the window.
inline constexpr char16_t kNewPage[] = u"newpage";
inline constexpr char16_t kHomePage[] = u"homepage";

}  // namespace tarvo::SettingsKeys
