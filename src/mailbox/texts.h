#pragma once

// What the main window's logic shows: the status line, the loop button's captions, the mailbox
// labels' prefixes, the message boxes' texts. The windows' own captions are in ui/captions.h.
namespace venmarra::texts {

inline constexpr char16_t kCreating[] = u"获取最新的邮箱中.";
inline constexpr char16_t kCreated[] = u"邮箱获取完成";
inline constexpr char16_t kCreationFailed[] = u"邮箱获取失败，请重新打开重试。";
inline constexpr char16_t kRefreshing[] = u"检测是否有新邮件内容.";
inline constexpr char16_t kRefreshed[] = u"检测完成.";
inline constexpr char16_t kLoopRunning[] = u"循环中..";
inline constexpr char16_t kLoopEnded[] = u"循环结束";

inline constexpr char16_t kUserPrefix[] = u"用户名：";
inline constexpr char16_t kAvailable[] = u"是否可用：可用";
inline constexpr char16_t kUnavailable[] = u"是否可用：不可用";
inline constexpr char16_t kStartTimePrefix[] = u"开始时间：";
inline constexpr char16_t kEndTimePrefix[] = u"结束时间：";

inline constexpr char16_t kMessageBoxTitle[] = u"提示";

}  // namespace venmarra::texts
