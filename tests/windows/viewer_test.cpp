// The Windows viewer's text box under Wine: a long mail goes in a slice at a time, and copying
// gives back the mail's own text, without the breaks that the box holds its rows with.
#include "text/utf.h"
#include "win32/form2.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace venmarra::win32 {
namespace {

// Runs the message loop until the viewer holds the whole text.
void untilLoaded(const MailViewer &viewer)
{
    for (int turns = 0; turns < 100000 && viewer.window()->box().isLoading(); ++turns) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, 0);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
}

// All of the box copied as its context menu's Select All and Copy do.
std::wstring allCopied(const MailViewer &viewer)
{
    SendMessageW(viewer.window()->text1(), EM_SETSEL, 0, -1);
    SendMessageW(viewer.window()->text1(), WM_COPY, 0, 0);
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t *>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

TEST(WindowsViewer, copyingGivesTheMailsTextWhateverItsLinesLengths)
{
    std::u16string longLine;
    while (longLine.size() < 50000)
        longLine += u"word 长长的中文没有空格 ";
    const std::pair<std::u16string, std::wstring> cases[] = {
        {u"第一行\n第二行\r\n第三行", L"第一行\r\n第二行\r\n第三行"},
        {u"short\n" + longLine + u"\nend",
         L"short\r\n" + std::wstring(longLine.begin(), longLine.end()) + L"\r\nend"},
        {u"tab\there", L"tab\there"},
    };
    MailViewer viewer;
    for (const auto &[mail, copied] : cases) {
        viewer.show();
        viewer.setText(text::utf8FromUtf16(mail));
        untilLoaded(viewer);
        EXPECT_EQ(allCopied(viewer), copied)
            << std::string(mail.size() > 40 ? "the long line" : "a short mail");
    }
}

TEST(WindowsViewer, aCopyIsWhatTheUserSeesAfterEditsAndTheWholeMailWhileItGoesIn)
{
    std::u16string words;
    while (words.size() < 3000)
        words += u"word 长长的中文 ";
    MailViewer viewer;
    viewer.show();
    viewer.setText(text::utf8FromUtf16(words + u"\nsecond line"));
    untilLoaded(viewer);
    const std::wstring before = allCopied(viewer);
    const HWND box = viewer.window()->text1();
    ASSERT_GT(SendMessageW(box, EM_GETLINECOUNT, 0, 0), 10) << "the first line wraps";
    SendMessageW(box, EM_SETSEL, 0, 0);
    for (int i = 0; i < 5; ++i)
        SendMessageW(box, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(allCopied(viewer), before.substr(5)) << "five characters fewer, every line break kept";
    // Typed at the end of the first row, where the box's own break stands, and a line break there.
    const auto rowEnd = static_cast<WPARAM>(SendMessageW(box, EM_LINEINDEX, 1, 0) - 2);
    SendMessageW(box, EM_SETSEL, rowEnd, rowEnd);
    SendMessageW(box, WM_CHAR, L'Z', 0);
    SendMessageW(box, WM_CHAR, L'\r', 0);
    EXPECT_EQ(allCopied(viewer), before.substr(5, rowEnd) + L"Z\r\n" + before.substr(5 + rowEnd));

    // Ctrl+A, Ctrl+C while a long mail still goes in: all of it.
    std::u16string large;
    while (large.size() < 2000000)
        large += u"长长的中文没有空格 words\n";
    viewer.setText(text::utf8FromUtf16(large));
    ASSERT_TRUE(viewer.window()->box().isLoading());
    std::wstring expected;
    for (const char16_t c : large)
        expected += c == u'\n' ? std::wstring(L"\r\n") : std::wstring(1, static_cast<wchar_t>(c));
    EXPECT_EQ(allCopied(viewer), expected);
}

TEST(WindowsViewer, aNewMailReplacesOneStillGoingInAndOpensAFreshViewerOnceClosed)
{
    MailViewer viewer;
    viewer.show();
    viewer.setText(text::utf8FromUtf16(std::u16string(300000, u'长')));
    ASSERT_TRUE(viewer.window());
    EXPECT_TRUE(viewer.window()->box().isLoading()) << "a long mail goes in a slice at a time";
    viewer.setText("second");
    untilLoaded(viewer);
    EXPECT_EQ(allCopied(viewer), L"second");
    ShowWindow(viewer.window()->window(), SW_MINIMIZE);  // put away by the user, it stays so
    viewer.show();
    EXPECT_TRUE(IsIconic(viewer.window()->window()));

    SendMessageW(viewer.window()->window(), WM_CLOSE, 0, 0);  // the user's close box
    EXPECT_FALSE(viewer.window());
    viewer.show();
    viewer.setText("third");
    ASSERT_TRUE(viewer.window()) << "no viewer after the first was closed";
    untilLoaded(viewer);
    EXPECT_EQ(allCopied(viewer), L"third");
}

}  // namespace
}  // namespace venmarra::win32
