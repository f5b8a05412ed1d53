#include "qt/mail_viewer.h"

#include "qt/window_placement.h"

namespace venmarra {

MailViewer::~MailViewer()
{
    delete m_form2.data();  // a top-level window without owner: nobody else deletes it
}

void MailViewer::show()
{
    // A viewer the user closed is hidden until it is destroyed, at the event loop's next turn.
    if (!m_form2 || !m_form2->isVisible()) {
        m_form2 = new Form2;
        centreOnScreen(m_form2);
    }
    m_form2->show();
    if (m_form2->isMinimized())
        return;  // the user put it away; it keeps the new mail until brought back
    m_form2->raise();  // a mail opened from the main window shows in front of it, with the keys
    m_form2->activateWindow();
}

void MailViewer::setText(std::string text)
{
    if (m_form2)
        m_form2->setText1(std::move(text));
}

}  // namespace venmarra
