#pragma once

#include "service/exchange_rules.h"

#include <string>

// The texts that the user reads: the windows' own captions, and what the main window's logic
// shows (the status line, the loop button's captions, the mailbox labels' prefixes, the message
// boxes). Both front ends take them from here.
namespace venmarra::texts {

inline constexpr char16_t kApplicationTitle[] = u"Venmarra";
inline constexpr char16_t kViewerTitle[] = u"邮件内容";
inline constexpr char16_t kCommand1[] = u"生成邮箱";
inline constexpr char16_t kCommand2[] = u"循环接收";
inline constexpr char16_t kCommand3[] = u"停止";
inline constexpr char16_t kFrame1[] = u"邮箱信息";
inline constexpr char16_t kLabel1[] = u"临时邮箱名：";
inline constexpr char16_t kLabel2[] = u"开始时间：";
inline constexpr char16_t kLabel3[] = u"结束时间：";
inline constexpr char16_t kLabel5[] = u"邮箱名：";
inline constexpr char16_t kLabel6[] = u"是否可用：";
inline constexpr char16_t kLabel7[] = u"双击读取邮件";

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

// The main window's caption: "Venmarra  - By " and the author credit.
std::u16string mainWindowCaption();

// The text of the "提示" box for a failed call: "Http错误代码:" and the status, or "错误原因:"
// and a short reason followed by the client's own words.
std::u16string problemMessage(const ExchangeProblem &problem);

}  // namespace venmarra::texts
