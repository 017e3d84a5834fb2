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
inline constexpr char16_t kFailedRetry[] = u"download/failed_retry";
inline constexpr char16_t kFileExistsCover[] = u"download/file_exists_cover";
inline constexpr char16_t kFileDownloading[] = u"download/file_downloading";
inline constexpr char16_t kFilePrefix[] = u"download/file_";
inline constexpr char16_t kNotExistsSuffix[] = u"download/_notexists";
inline constexpr char16_t kFailed[] = u"download/failed";
inline constexpr char16_t kFailedDiskFull[] = u"download/failed_disk_full";
inline constexpr char16_t kFailedNoPermission[] = u"download/failed_no_permission";
inline constexpr char16_t kFailedConnection[] = u"download/failed_connection";
inline constexpr char16_t kFailedServer[] = u"download/failed_server";
inline constexpr char16_t kDone[] = u"download/done";
inline constexpr char16_t kNotFinished[] = u"download/not_finished";
inline constexpr char16_t kEmpty[] = u"download/empty";
inline constexpr char16_t kRenameFailed[] = u"download/rename_failed";
inline constexpr char16_t kSaveDialogTitle[] = u"download/save_as";
// The window's captions are pictures of the language; these are their words (the
// tooltips, and what a screen reader says).
inline constexpr char16_t kTitle[] = u"download/title";
inline constexpr char16_t kClearAndRemove[] = u"download/clearandremove";
inline constexpr char16_t kClearButton[] = u"download/clearbtn";
inline constexpr char16_t kCloseButton[] = u"download/closebtn";

}  // namespace tarvo::DownloadsLanguageKeys
