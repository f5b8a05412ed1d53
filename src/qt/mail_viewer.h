#pragma once

#include "qt/form2.h"

#include <QPointer>

namespace venmarra {

// The program's one reference to the mail viewer: shows the open viewer, or a new one when the
// user has closed it (or none was opened yet).
class MailViewer {
public:
    MailViewer() = default;
    MailViewer(const MailViewer &) = delete;
    MailViewer &operator=(const MailViewer &) = delete;
    ~MailViewer();

    void show();
    void setText(std::string text);  // UTF-8
    Form2 *window() const { return m_form2.data(); }

private:
    QPointer<Form2> m_form2;
};

}  // namespace venmarra
