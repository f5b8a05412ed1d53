#include "qt/form2.h"

#include "qt/mail_text_edit.h"
#include "qt/twips.h"
#include "qt/window_placement.h"
#include "ui/texts.h"

namespace venmarra {

Form2::Form2(QWidget *parent)
    : QWidget(parent, windowFlagsOf(ui::form2Design()))
{
    const ui::WindowDesign &design = ui::form2Design();
    const ui::ControlDesign &text1 = design.controls.front();
    const ui::TwipScale twips = fontTwips();
    setObjectName(QString::fromLatin1(design.name));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromStdU16String(texts::kViewerTitle));
    setFixedSize(twips(design.clientWidth), twips(design.clientHeight));
    m_text1 = new MailTextEdit(this);
    m_text1->setObjectName(QString::fromLatin1(text1.name));
    m_text1->setAccessibleName(windowTitle());  // the box is the window's whole content
    m_text1->setGeometry(toQRect(twips(text1.place)));
    m_text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void Form2::setText1(std::string text)
{
    m_text1->setMailText(std::move(text));
}

}  // namespace venmarra
