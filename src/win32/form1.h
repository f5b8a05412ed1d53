#pragma once

#include "mailbox/main_window_view.h"
#include "win32/form2.h"
#include "win32/handles.h"
#include "win32/layout.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace venmarra::win32 {

// The main window, built from native controls placed in twips at the window's DPI.
class Form1 final : public MainWindowView {
public:
    Form1();
    ~Form1() override;
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // Where the window's events go; nothing is handed on while none is attached.
    void attach(MainWindowEvents *events) { m_events = events; }
    HWND window() const { return m_window; }
    // Shows the window, centred, with the focus on 生成邮箱.
    void show();

    void setCaption(Caption control, const std::u16string &text) override;
    void setText1(const std::u16string &text) override;
    void disableCommand1() override;
    void appendListItem(const MailLine &mail) override;
    int selectedListIndex() const override;
    std::u16string listItemMailId(int index) const override;
    std::u16string listItemText(int index) const override;
    void showMailViewer(const std::u16string &content) override;

    MailViewer &mailViewer() { return m_viewer; }

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void stackInTabOrder();
    void layOut(UINT dpi);
    void onCommand(int id, int notification);
    // Gives an auto-sizing label its text and the size of it; in the frame, cut at its inner edge.
    void fitLabel(HWND label, const std::wstring &text);
    HWND label(Caption control) const;

    HWND m_window = nullptr;
    HWND m_frame1 = nullptr;
    HWND m_label1 = nullptr, m_label2 = nullptr, m_label3 = nullptr, m_label4 = nullptr, m_label5 = nullptr,
         m_label6 = nullptr, m_label7 = nullptr;
    HWND m_text1 = nullptr, m_list1 = nullptr;
    HWND m_command1 = nullptr, m_command2 = nullptr, m_command3 = nullptr;
    HWND m_line1 = nullptr, m_line2 = nullptr, m_line3 = nullptr;
    FontHandle m_font;
    std::optional<Twips> m_twips;  // measured on m_font by layOut
    std::vector<MailLine> m_lines;  // each line of List1 as it was read
    MailViewer m_viewer;
    MainWindowEvents *m_events = nullptr;
};

}  // namespace venmarra::win32
