#include "qt/form2.h"

#include "mailbox/display_text.h"
#include "mailbox/texts.h"

#include "qt/twips.h"

#include "qt/mail_text_edit.h"

#include <QTextOption>

namespace venmarra {

Form2::Form2(QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromStdU16String(texts::text(texts::kViewerTitle)));
    setFixedSize(twips(4560), twips(2730));
    m_text1 = new MailTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setAccessibleName(windowTitle());  // the box is the window's whole content
    placeInTwips(m_text1, 120, 120, 4335, 2535);
    m_text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void Form2::setText1(const std::u16string &text)
{
    // One copy of a mail's megabytes on the window's thread, made inert where it lies.
    QString shown = QString::fromStdU16String(text);
    char16_t *units = reinterpret_cast<char16_t *>(shown.data());
    makeInert(units, units + shown.size(), true);
    m_text1->setMailText(shown);
}

}  // namespace venmarra
