#include "qt/form1.h"

#include "mailbox/display_text.h"
#include "mailbox/texts.h"
#include "qt/line_shape.h"
#include "qt/status_label.h"
#include "qt/twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <limits>

namespace venmarra {
namespace {

constexpr int kMailIdRole = Qt::UserRole;
constexpr int kLineTextRole = Qt::UserRole + 1;

QString caption(const char16_t *text)
{
    return QString::fromStdU16String(texts::text(text));
}

// A label's caption as the name of the box it stands for: without its full-width colon.
QString captionWithoutColon(const char16_t *text)
{
    QString name = caption(text);
    if (name.endsWith(QChar(u'：')))
        name.chop(1);
    return name;
}

template <typename Control>
Control *named(Control *control, const char *name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// A label that takes the size of its caption and keeps its place; it never renders markup.
QLabel *autoSizeLabel(const char *name, const QString &caption, QWidget *parent, int left, int top)
{
    auto *label = named(new QLabel(parent), name);
    label->setTextFormat(Qt::PlainText);
    label->move(twips(left), twips(top));
    label->setText(caption);
    label->adjustSize();
    return label;
}

QPushButton *commandButton(const char *name, const QString &caption, QWidget *parent, int left, int top,
                           int width, int height)
{
    auto *button = named(new QPushButton(caption, parent), name);
    placeInTwips(button, left, top, width, height);
    return button;
}

LineShape *lineShape(const char *name, QPoint fromTwips, QPoint toTwips, QWidget *parent)
{
    return named(new LineShape(QPoint(twips(fromTwips.x()), twips(fromTwips.y())),
                               QPoint(twips(toTwips.x()), twips(toTwips.y())), parent),
                 name);
}

}  // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromStdU16String(texts::mainWindowCaption()));
    setFixedSize(twips(8835), twips(3420));
    createControls();
    chainTabOrder();
    connectEvents();
    m_command1->setFocus();
}

void Form1::createControls()
{
    m_label4 = named(new StatusLabel(this), "Label4");
    m_label4->move(twips(120), twips(3120));
    m_label4->showText(QString());
    m_label7 = named(new QLabel(caption(texts::kLabel7), this), "Label7");
    m_label7->setTextFormat(Qt::PlainText);
    m_label7->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    placeInTwips(m_label7, 3960, 360, 4815, 255);
    m_line1 = lineShape("Line1", {3960, 240}, {3960, 600}, this);
    m_line2 = lineShape("Line2", {3960, 240}, {8760, 240}, this);
    m_line3 = lineShape("Line3", {8760, 240}, {8760, 600}, this);
    m_command1 = commandButton("Command1", caption(texts::kCommand1), this, 120, 2520, 1455, 495);
    createFrame1();
    m_command2 = commandButton("Command2", caption(texts::kCommand2), this, 1680, 2520, 1455, 495);
    m_list1 = named(new QListWidget(this), "List1");
    m_list1->setAccessibleName(caption(texts::kLabel7));  // a screen reader names it by its heading
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list1->setSortingEnabled(false);
    m_list1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    placeInTwips(m_list1, 3960, 600, 4815, 2760);
    m_command3 = commandButton("Command3", caption(texts::kCommand3), this, 3240, 2520, 615, 495);
}

void Form1::createFrame1()
{
    m_frame1 = named(new QGroupBox(caption(texts::kFrame1), this), "Frame1");
    placeInTwips(m_frame1, 120, 240, 3735, 2175);
    m_label1 = autoSizeLabel("Label1", caption(texts::kLabel1), m_frame1, 120, 360);
    m_label2 = autoSizeLabel("Label2", caption(texts::kLabel2), m_frame1, 120, 1440);
    m_label3 = autoSizeLabel("Label3", caption(texts::kLabel3), m_frame1, 120, 1800);
    m_label5 = autoSizeLabel("Label5", caption(texts::kLabel5), m_frame1, 120, 720);
    m_label6 = autoSizeLabel("Label6", caption(texts::kLabel6), m_frame1, 120, 1080);
    m_text1 = named(new QLineEdit(m_frame1), "Text1");
    m_text1->setAccessibleName(captionWithoutColon(texts::kLabel1));  // by the label before it
    m_text1->setMaxLength(std::numeric_limits<int>::max());  // a name of any length keeps its domain
    placeInTwips(m_text1, 1200, 240, 2415, 375);
}

void Form1::chainTabOrder()
{
    QWidget::setTabOrder(m_command1, m_text1);
    QWidget::setTabOrder(m_text1, m_command2);
    QWidget::setTabOrder(m_command2, m_list1);
    QWidget::setTabOrder(m_list1, m_command3);
}

void Form1::connectEvents()
{
    const auto forward = [this](void (MainWindowEvents::*handler)()) {
        return [this, handler] {
            if (m_events)
                (m_events->*handler)();
        };
    };
    connect(m_command1, &QPushButton::clicked, this, forward(&MainWindowEvents::Command1_Click));
    connect(m_command2, &QPushButton::clicked, this, forward(&MainWindowEvents::Command2_Click));
    connect(m_command3, &QPushButton::clicked, this, forward(&MainWindowEvents::Command3_Click));
    connect(m_list1, &QListWidget::itemDoubleClicked, this, forward(&MainWindowEvents::List1_DblClick));
}

void Form1::attach(MainWindowEvents *events)
{
    m_events = events;
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_events)
        m_events->Form_Unload();
}

QLabel *Form1::label(Caption control) const
{
    switch (control) {
    case Caption::Label2: return m_label2;
    case Caption::Label3: return m_label3;
    case Caption::Label4: return m_label4;
    case Caption::Label5: return m_label5;
    case Caption::Label6: return m_label6;
    case Caption::Command2: break;
    }
    return nullptr;
}

void Form1::setCaption(Caption control, const std::u16string &text)
{
    if (control == Caption::Command2) {
        m_command2->setText(QString::fromStdU16String(text));
        return;
    }
    const QString shown = QString::fromStdU16String(displayLine(text));
    if (control == Caption::Label4) {
        m_label4->showText(shown);
        return;
    }
    QLabel *target = label(control);
    if (target->text() == shown)
        return;  // a poll rewrites the same texts; measuring them again costs a text layout
    target->setText(shown);
    target->adjustSize();
}

void Form1::setText1(const std::u16string &text)
{
    m_text1->setText(QString::fromStdU16String(text));
    m_text1->setCursorPosition(0);  // show the address from its first character
}

void Form1::disableCommand1()
{
    // The focus moves on to the next step, 循环接收. Left to Qt it would pass to Text1, which would
    // select the address, scroll to its end and blink its cursor for as long as the program runs.
    if (m_command1->hasFocus())
        m_command2->setFocus(Qt::OtherFocusReason);
    m_command1->setEnabled(false);
}

void Form1::appendListItem(const MailLine &mail)
{
    // Each field is isolated, so that right-to-left text cannot reorder its neighbours.
    const auto field = [](const std::u16string &text) { return QString::fromStdU16String(isolatedField(text)); };
    const QString shown = field(mail.from) + QLatin1Char('|') + field(mail.subject) + QLatin1Char('|') + field(mail.mailId);
    auto *item = new QListWidgetItem(shown, m_list1);
    item->setData(kMailIdRole, QString::fromStdU16String(mail.mailId));
    item->setData(kLineTextRole, QString::fromStdU16String(mail.text()));
}

int Form1::selectedListIndex() const
{
    const QList<QListWidgetItem *> selected = m_list1->selectedItems();
    return selected.isEmpty() ? -1 : m_list1->row(selected.first());
}

std::u16string Form1::listItemMailId(int index) const
{
    const QListWidgetItem *item = m_list1->item(index);
    return item ? item->data(kMailIdRole).toString().toStdU16String() : std::u16string();
}

std::u16string Form1::listItemText(int index) const
{
    const QListWidgetItem *item = m_list1->item(index);
    return item ? item->data(kLineTextRole).toString().toStdU16String() : std::u16string();
}

void Form1::showMailViewer(const std::u16string &content)
{
    m_viewer.show();
    m_viewer.setText(content);
}

}  // namespace venmarra
