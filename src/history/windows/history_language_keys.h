#pragma once
// The language keys of the history page.
namespace tarvo::HistoryLanguageKeys {

inline constexpr char16_t kTitle[] = u"historylist/title";
inline constexpr char16_t kToday[] = u"historylist/today";
inline constexpr char16_t kYesterday[] = u"historylist/yesterday";
inline constexpr char16_t kDeleteDay[] = u"historylist/delete_day";
inline constexpr char16_t kDelete[] = u"historylist/delete";
inline constexpr char16_t kMore[] = u"historylist/more";
inline constexpr char16_t kNothing[] = u"historylist/nothing";
inline constexpr char16_t kShown[] = u"historylist/shown";
inline constexpr char16_t kSearchHint[] = u"historylist/search_hint";

}  // namespace tarvo::HistoryLanguageKeys
