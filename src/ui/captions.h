#pragma once

#include <string>

// The windows' own texts: their titles and the captions that the design gives their controls.
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

// The main window's caption: "Venmarra  - By " and the author credit.
std::u16string mainWindowCaption();

}  // namespace venmarra::texts
