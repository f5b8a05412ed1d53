#pragma once

#include "win32/handles.h"
#include "win32/layout.h"
#include "win32/mail_text_box.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace venmarra::win32 {

// The mail viewer window: one multi-line text box that wraps long lines.
class Form2 {
public:
    Form2();
    ~Form2();
    Form2(const Form2 &) = delete;
    Form2 &operator=(const Form2 &) = delete;

    // False once the user has closed the window.
    bool isOpen() const { return m_window != nullptr; }
    HWND window() const { return m_window; }
    HWND text1() const { return m_text1; }
    const MailTextBox &box() const { return *m_box; }
    void setText1(const std::u16string &text);

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void layOut(UINT dpi);

    HWND m_window = nullptr;
    HWND m_text1 = nullptr;
    std::unique_ptr<MailTextBox> m_box;
    FontHandle m_font;
    std::optional<ui::TwipScale> m_twips;  // measured on m_font by layOut
};

// The one viewer of the run: created when a mail is first shown, and anew after the user closed it.
class MailViewer {
public:
    void show();
    void setText(const std::u16string &text);
    Form2 *window() const { return m_form2 && m_form2->isOpen() ? m_form2.get() : nullptr; }

private:
    std::unique_ptr<Form2> m_form2;
};

}  // namespace venmarra::win32
