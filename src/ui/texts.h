#pragma once

#include <string>

// Every text that the program shows the user, each once: the windows' titles and captions, the
// status line, the loop button, the mailbox labels, the message boxes and the problems of an
// exchange. The logic and both front ends take their words from here.
namespace venmarra::texts {

// The windows.
inline constexpr char16_t kApplicationTitle[] = u"Venmarra";
inline constexpr char16_t kViewerTitle[] = u"邮件内容";
// The main window's caption: "Venmarra  - By " and the author credit.
std::u16string mainWindowCaption();

// The captions that the design gives the controls; Label2's and Label3's are also the prefixes
// of the times written after them.
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

// What the logic writes: the status line, the loop button, the mailbox labels.
inline constexpr char16_t kCreating[] = u"获取最新的邮箱中.";
inline constexpr char16_t kCreated[] = u"邮箱获取完成";
inline constexpr char16_t kRefreshing[] = u"检测是否有新邮件内容.";
inline constexpr char16_t kRefreshed[] = u"检测完成.";
inline constexpr char16_t kLoopRunning[] = u"循环中..";
inline constexpr char16_t kLoopEnded[] = u"循环结束";
inline constexpr char16_t kUserPrefix[] = u"用户名：";
inline constexpr char16_t kAvailable[] = u"是否可用：可用";
inline constexpr char16_t kUnavailable[] = u"是否可用：不可用";

// The message boxes.
inline constexpr char16_t kCreationFailed[] = u"邮箱获取失败，请重新打开重试。";
inline constexpr char16_t kMessageBoxTitle[] = u"提示";
inline constexpr char16_t kStatusPrefix[] = u"Http错误代码:";
inline constexpr char16_t kFailurePrefix[] = u"错误原因:";
// What went wrong with an exchange, after kFailurePrefix; the client's own words follow in brackets.
inline constexpr char16_t kCannotStart[] = u"无法创建网络请求";
inline constexpr char16_t kCannotResolve[] = u"无法解析服务器地址";
inline constexpr char16_t kCannotConnect[] = u"无法连接到服务器";
inline constexpr char16_t kTimedOut[] = u"操作超时";
inline constexpr char16_t kTooLarge[] = u"服务器的应答过大";
inline constexpr char16_t kNotHttp[] = u"只支持 http 协议";
inline constexpr char16_t kTransferFailed[] = u"网络传输失败";
inline constexpr char16_t kNoSessionCookie[] = u"应答中没有会话 Cookie（Set-Cookie: sid=）";
inline constexpr char16_t kDetailOpening[] = u"（";
inline constexpr char16_t kDetailClosing[] = u"）";

// What a screen reader is told, beside what the windows show: that the mailbox is ready, with its
// address; that receiving started (its end is kLoopEnded); the mail that a poll brought.
std::u16string mailboxReady(std::u16string_view address);
inline constexpr char16_t kLoopStarted[] = u"开始循环接收";
// `count` new mails, the first of which a screen reader says as `first` (MailLine::spoken).
std::u16string newMail(std::size_t count, std::u16string_view first);
// Between a mail's sender and its subject, as a screen reader says them.
inline constexpr char16_t kSpokenSeparator[] = u"，";

}  // namespace venmarra::texts
