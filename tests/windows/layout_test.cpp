// The Windows main window under Wine at several desktop fonts and at 150 %: it grows with the
// font, every caption fits its control and covers no other, and a screen reader names the boxes.
#include "win32/form1.h"
#include "win32/layout.h"

#include <gtest/gtest.h>

#include <oleacc.h>
#include <windows.h>

#include <string>
#include <vector>

namespace venmarra::win32 {
namespace {

// The desktop's message font at `points` while it lives (not saved to the user's settings).
class MessageFontSize {
public:
    explicit MessageFontSize(int points)
    {
        m_saved.cbSize = sizeof m_saved;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m_saved, &m_saved, 0);
        NONCLIENTMETRICSW changed = m_saved;
        changed.lfMessageFont.lfHeight = -MulDiv(points, 96, 72);
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof changed, &changed, 0);
    }
    ~MessageFontSize() { SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof m_saved, &m_saved, 0); }
    MessageFontSize(const MessageFontSize &) = delete;
    MessageFontSize &operator=(const MessageFontSize &) = delete;

private:
    NONCLIENTMETRICSW m_saved {};
};

struct Control {
    HWND handle;
    std::wstring className, text;
    RECT place;  // on the screen
};

std::vector<Control> controlsOf(HWND window)
{
    std::vector<Control> controls;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM list) {
            Control control {child, std::wstring(64, L'\0'), std::wstring(256, L'\0'), {}};
            control.className.resize(
                static_cast<std::size_t>(GetClassNameW(child, control.className.data(), 64)));
            control.text.resize(static_cast<std::size_t>(GetWindowTextW(child, control.text.data(), 256)));
            GetWindowRect(child, &control.place);
            reinterpret_cast<std::vector<Control> *>(list)->push_back(control);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));
    return controls;
}

SIZE extentIn(HWND control, const std::wstring &text)
{
    return textExtent(control, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), text);
}

// Where `control` draws its caption on the screen, or an empty rectangle if it has none. A caption
// that does not fit is reported.
RECT captionPlace(const Control &control)
{
    const LONG style = GetWindowLongW(control.handle, GWL_STYLE);
    const bool groupBox = (style & BS_TYPEMASK) == BS_GROUPBOX;
    if (control.text.empty() || (control.className != L"Static" && control.className != L"Button"))
        return {};
    const SIZE text = extentIn(control.handle, control.text);
    RECT inside = control.place;
    if (control.className == L"Button" && !groupBox)  // within the button's raised edges
        InflateRect(&inside, -2 * GetSystemMetrics(SM_CXEDGE), -2 * GetSystemMetrics(SM_CYEDGE));
    EXPECT_LE(text.cx, inside.right - inside.left) << "the caption is wider than its control";
    EXPECT_LE(text.cy, inside.bottom - inside.top) << "the caption is taller than its control";
    const bool centred = control.className == L"Button" ? !groupBox : (style & SS_TYPEMASK) == SS_CENTER;
    const LONG left = centred ? (inside.left + inside.right - text.cx) / 2 : inside.left;
    const LONG top = control.className == L"Button" && !groupBox ? (inside.top + inside.bottom - text.cy) / 2
                                                                 : inside.top;
    return {left, top, left + text.cx, top + text.cy};
}

void expectCaptionsFitAndCoverNothing(HWND window)
{
    const std::vector<Control> controls = controlsOf(window);
    ASSERT_EQ(controls.size(), 14u);  // the lines are drawn on the window; the announcer has no size
    RECT client {};
    GetClientRect(window, &client);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT *>(&client), 2);
    for (const Control &control : controls) {
        SCOPED_TRACE("control " + std::to_string(GetDlgCtrlID(control.handle)));
        const RECT caption = captionPlace(control);
        if (IsRectEmpty(&caption))
            continue;
        RECT container {};
        GetWindowRect(GetParent(control.handle), &container);
        if (GetParent(control.handle) == window)
            container = client;
        RECT outside {};
        EXPECT_FALSE(SubtractRect(&outside, &caption, &container) && !IsRectEmpty(&outside))
            << "the caption is cut by its container";
        for (const Control &other : controls) {
            if (other.handle == control.handle || other.handle == GetParent(control.handle)
                || GetParent(other.handle) == control.handle)
                continue;
            RECT common {};
            EXPECT_FALSE(IntersectRect(&common, &caption, &other.place))
                << "the caption covers control " << GetDlgCtrlID(other.handle);
        }
    }
}

void expectProportions(HWND window)
{
    const SIZE character = extentIn(GetDlgItem(window, controlId(ui::ControlId::Command1)), L"中");
    ASSERT_GT(character.cx, 0);
    RECT client {};
    GetClientRect(window, &client);
    EXPECT_NEAR(client.right, 8835.0 / 180 * character.cx, 1.0);
    EXPECT_NEAR(client.bottom, 3420.0 / 180 * character.cx, 1.0);
}

class WindowsLayout : public testing::TestWithParam<int> { };

TEST_P(WindowsLayout, theWindowGrowsWithTheDesktopFontAndEveryCaptionFits)
{
    const MessageFontSize font(GetParam());
    Form1 form;
    form.show();
    for (const ui::ControlDesign &design : ui::form1Design().controls) {  // as the design writes them
        const HWND parent
            = design.container ? GetDlgItem(form.window(), controlId(*design.container)) : form.window();
        std::wstring text(256, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(GetDlgItem(parent, controlId(design.id)), text.data(), 256)));
        if (design.kind != ui::ControlKind::ListBox
            && design.kind != ui::ControlKind::Line) {  // a list's text only names it
            EXPECT_EQ(text, std::wstring(design.caption.begin(), design.caption.end())) << design.name;
        }
    }
    // Every address of the local service's form, six of its widest character and its domain, fits
    // the address box whole.
    const HWND text1 = GetDlgItem(GetDlgItem(form.window(), controlId(ui::ControlId::Frame1)),
                                  controlId(ui::ControlId::Text1));
    RECT box {};
    GetClientRect(text1, &box);
    const LRESULT margins = SendMessageW(text1, EM_GETMARGINS, 0, 0);
    for (const wchar_t c : std::wstring(L"abcdefghijklnopqrstuvxyz0123456789")) {
        const std::wstring address = std::wstring(6, c) + L"@venmarra.test";
        EXPECT_LE(extentIn(text1, address).cx + LOWORD(margins) + HIWORD(margins), box.right) << address;
    }
    form.setCaption(ui::ControlId::Label4, u"正在获取新邮箱..");
    form.setCaption(ui::ControlId::Label5, u"邮箱名：k3x9q2rw@venmarra.test");
    expectProportions(form.window());
    expectCaptionsFitAndCoverNothing(form.window());

    // At 150 %: what the system tells a window that moves to a screen of 144 dots per inch.
    RECT suggested {};
    GetWindowRect(form.window(), &suggested);
    suggested.right = suggested.left + (suggested.right - suggested.left) * 3 / 2;
    suggested.bottom = suggested.top + (suggested.bottom - suggested.top) * 3 / 2;
    SendMessageW(form.window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    expectProportions(form.window());
    expectCaptionsFitAndCoverNothing(form.window());
}

INSTANTIATE_TEST_SUITE_P(Points, WindowsLayout, testing::Values(9, 11, 14),
                         [](const testing::TestParamInfo<int> &points) {
                             return std::to_string(points.param) + "pt";
                         });

std::wstring accessibleName(HWND control)
{
    IAccessible *accessible = nullptr;
    if (const HRESULT failed
        = AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                     reinterpret_cast<void **>(&accessible));
        FAILED(failed))
        return L"<no accessible object: " + std::to_wstring(static_cast<unsigned>(failed)) + L">";
    VARIANT self {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = accessible->get_accName(self, &name);
    accessible->Release();
    std::wstring text = result == S_OK && name ? std::wstring(name, SysStringLen(name)) : L"<no name>";
    SysFreeString(name);
    return text;
}

TEST(WindowsAccessibility, theBoxesAreNamedByTheCaptionsThatStandForThem)
{
    CoInitialize(nullptr);
    Form1 form;
    form.show();
    const HWND frame = GetDlgItem(form.window(), controlId(ui::ControlId::Frame1));
    // The system names a box by the label before it, colon and all, or without it.
    const std::wstring text1 = accessibleName(GetDlgItem(frame, controlId(ui::ControlId::Text1)));
    EXPECT_TRUE(text1 == L"临时邮箱名" || text1 == L"临时邮箱名：") << "Text1 is named by its label";
    EXPECT_EQ(accessibleName(GetDlgItem(form.window(), controlId(ui::ControlId::List1))), L"双击读取邮件");
    EXPECT_EQ(accessibleName(GetDlgItem(form.window(), controlId(ui::ControlId::Command1))), L"生成邮箱");
    CoUninitialize();
}

}  // namespace
}  // namespace venmarra::win32
