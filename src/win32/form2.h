#pragma once

#include "win32/mail_text_box.h"
#include "win32/window.h"

#include <windows.h>

#include <memory>
#include <string>

namespace venmarra::win32 {

// The mail viewer window: one multi-line text box that wraps long lines.
class Form2 final : public TopLevelWindow {
public:
    Form2();
    ~Form2() override;

    HWND text1() const { return m_text1; }
    const MailTextBox &box() const { return *m_box; }
    void setText1(std::string text);  // UTF-8

private:
    void layOut() override;
    std::optional<LRESULT> handle(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND m_text1 = nullptr;
    std::unique_ptr<MailTextBox> m_box;
};

// The one viewer of the run: created when a mail is first shown, and anew after the user closed it.
class MailViewer {
public:
    void show();
    void setText(std::string text);  // UTF-8
    Form2 *window() const { return m_form2 && m_form2->isOpen() ? m_form2.get() : nullptr; }

private:
    std::unique_ptr<Form2> m_form2;
};

}  // namespace venmarra::win32
