#pragma once

#include "mailbox/main_window_view.h"
#include "win32/announcer.h"
#include "win32/form2.h"
#include "win32/handles.h"
#include "win32/layout.h"
#include "win32/window.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace venmarra::win32 {

// The main window, built from the design's table as native controls placed at the window's DPI.
class Form1 final : public TopLevelWindow, public MainWindowView {
public:
    Form1();
    ~Form1() override;
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // Where the window's events go; nothing is handed on while none is attached.
    void attach(MainWindowEvents *events) { m_events = events; }
    // Shows the window, centred, with the focus on 生成邮箱.
    void show();

    void setCaption(Caption control, const std::u16string &text) override;
    void setText1(const std::u16string &text) override;
    void disableCommand1() override;
    void appendListItem(const ui::MailLine &line, const std::u16string &spoken) override;
    int selectedListIndex() const override;
    void showMailViewer(std::string content) override;
    void askForAttention() override;
    void announce(const std::u16string &text) override;

    MailViewer &mailViewer() { return m_viewer; }

private:
    void layOut() override;
    // The design's lines, in the window-text colour.
    void paint();
    std::optional<LRESULT> handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    HWND createControl(const ui::ControlDesign &design);
    void stackInTabOrder();
    void place(const ui::ControlDesign &design);
    void onCommand(int id, int notification);
    // Enter: presses the focused button, or opens the mail that List1 marks.
    void onEnter();
    // Enter on List1: opens the mail that the keyboard marks, as a double-click does.
    void openMarkedLine();
    // Selects the line that the keyboard marks (the first when none), which Enter opens and a
    // screen reader says.
    void markLineToOpen();
    // Marks it when the list takes the focus, and tells a screen reader that line has the focus.
    void sayLineToOpen();
    // Gives the focus back to the control that had it when the window was last active.
    void onActivate(WPARAM wParam);
    // Gives an auto-sizing label its text and the size of it; in the frame, cut at its inner edge.
    void fitLabel(HWND label, const std::wstring &text);
    HWND control(ui::ControlId id) const { return m_controls[static_cast<std::size_t>(id)]; }

    std::array<HWND, ui::kControlCount> m_controls {};
    HWND m_lastFocus = nullptr;
    MailViewer m_viewer;
    std::optional<Announcer> m_announcer;
    MainWindowEvents *m_events = nullptr;
};

}  // namespace venmarra::win32
