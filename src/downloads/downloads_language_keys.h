#pragma once
// The language keys of the download list and its questions.
namespace tarvo::DownloadsLanguageKeys {

inline constexpr char16_t kTotal[] = u"download/total";
inline constexpr char16_t kPause[] = u"download/pause";
inline constexpr char16_t kContinue[] = u"download/continue";
inline constexpr char16_t kCancel[] = u"download/cancel";
inline constexpr char16_t kShowFile[] = u"download/showfile";
inline constexpr char16_t kExecFile[] = u"download/execfile";
inline constexpr char16_t kDeleteFile[] = u"download/delfile";
inline constexpr char16_t kStopStatus[] = u"download/stopstatus";
inline constexpr char16_t kFileExistsCover[] = u"download/file_exists_cover";
inline constexpr char16_t kFileDownloading[] = u"download/file_downloading";
inline constexpr char16_t kFilePrefix[] = u"download/file_";
inline constexpr char16_t kNotExistsSuffix[] = u"download/_notexists";
inline constexpr char16_t kFailed[] = u"download/failed";
inline constexpr char16_t kRenameFailed[] = u"download/rename_failed";
inline constexpr char16_t kSaveDialogTitle[] = u"download/save_as";

}  // namespace tarvo::DownloadsLanguageKeys
