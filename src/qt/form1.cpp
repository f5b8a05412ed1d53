#include "qt/form1.h"

#include "qt/announcer.h"
#include "qt/attention.h"
#include "qt/status_label.h"
#include "qt/twips.h"
#include "qt/window_placement.h"
#include "ui/texts.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

#include <limits>

namespace venmarra {
namespace {

using ui::ControlId;
using ui::ControlKind;

QString qText(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel *autoSizeLabel(const ui::ControlDesign &design, QWidget *parent, const ui::TwipScale &twips)
{
    // The status line's texts change twice a poll: it keeps their layouts.
    QLabel *label = design.id == ControlId::Label4 ? new StatusLabel(parent) : new QLabel(parent);
    label->setTextFormat(Qt::PlainText);  // never renders markup
    label->move(twips(design.place.left), twips(design.place.top));
    label->setText(qText(design.caption));
    label->adjustSize();
    return label;
}

QLabel *centredLabel(const ui::ControlDesign &design, QWidget *parent)
{
    auto *label = new QLabel(qText(design.caption), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

QListWidget *listBox(QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setAccessibleName(qText(ui::accessibleName(ControlId::List1)));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

QLineEdit *textBox(QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setAccessibleName(qText(ui::accessibleName(ControlId::Text1)));
    box->setMaxLength(std::numeric_limits<int>::max());  // a name of any length keeps its domain
    return box;
}

}  // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, windowFlagsOf(ui::form1Design()))
    , m_twips(fontTwips())
{
    const ui::WindowDesign &design = ui::form1Design();
    setObjectName(QString::fromLatin1(design.name));
    setWindowTitle(QString::fromStdU16String(texts::mainWindowCaption()));
    setFixedSize(m_twips(design.clientWidth), m_twips(design.clientHeight));
    createControls(this, std::nullopt, m_twips);
    tieLabels();
    m_announcer = new Announcer(this);
    chainTabOrder();
    connectEvents();
    control<QWidget>(ControlId::Command1)->setFocus();
}

void Form1::createControls(QWidget *parent, std::optional<ControlId> container, const ui::TwipScale &twips)
{
    // In reading order, which is the order in which a screen reader finds them. Where two controls
    // overlap, the later lies over the earlier; the labels draw no background.
    for (const ControlId id : ui::form1ReadingOrder(container)) {
        const ui::ControlDesign &design = ui::designOf(id);
        QWidget *widget = createControl(design, parent, twips);
        if (!widget)
            continue;  // a line, which the window draws
        widget->setObjectName(QString::fromLatin1(design.name));
        m_controls[static_cast<std::size_t>(design.id)] = widget;
        if (design.kind == ControlKind::Frame)
            createControls(widget, design.id, twips);
    }
}

QWidget *Form1::createControl(const ui::ControlDesign &design, QWidget *parent, const ui::TwipScale &twips)
{
    QWidget *widget = nullptr;
    switch (design.kind) {
    case ControlKind::AutoSizeLabel: return autoSizeLabel(design, parent, twips);
    case ControlKind::CommandButton: widget = new QPushButton(qText(design.caption), parent); break;
    case ControlKind::Frame: widget = new QGroupBox(qText(design.caption), parent); break;
    case ControlKind::ListBox: widget = listBox(parent); break;
    case ControlKind::TextBox: widget = textBox(parent); break;
    case ControlKind::CentredLabel: widget = centredLabel(design, parent); break;
    case ControlKind::Line:  // drawn on the window: no control that a screen reader would find
    case ControlKind::MailTextBox: return nullptr;  // the viewer's
    }
    widget->setGeometry(toQRect(twips(design.place)));
    return widget;
}

void Form1::tieLabels()
{
    // A label's buddy is what a screen reader hears the label name.
    for (const ui::ControlDesign &design : ui::form1Design().controls)
        if (design.labelFor)
            control<QLabel>(design.id)->setBuddy(control<QWidget>(*design.labelFor));
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const ui::ControlDesign &design : ui::form1Design().controls)
        if (design.kind == ControlKind::Line)
            painter.fillRect(toQRect(m_twips.lineBox(design.place)), palette().color(QPalette::WindowText));
}

void Form1::chainTabOrder()
{
    const std::span<const ControlId> stops = ui::form1TabStops();
    for (std::size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(control<QWidget>(stops[i - 1]), control<QWidget>(stops[i]));
}

void Form1::connectEvents()
{
    const auto forward = [this](void (MainWindowEvents::*handler)()) {
        return [this, handler] {
            if (m_events)
                (m_events->*handler)();
        };
    };
    const auto clicked = [&](ControlId button, void (MainWindowEvents::*handler)()) {
        connect(control<QPushButton>(button), &QPushButton::clicked, this, forward(handler));
        control<QPushButton>(button)->installEventFilter(this);
    };
    clicked(ControlId::Command1, &MainWindowEvents::Command1_Click);
    clicked(ControlId::Command2, &MainWindowEvents::Command2_Click);
    clicked(ControlId::Command3, &MainWindowEvents::Command3_Click);
    connect(control<QListWidget>(ControlId::List1), &QListWidget::itemDoubleClicked, this,
            forward(&MainWindowEvents::List1_DblClick));
    control<QListWidget>(ControlId::List1)->installEventFilter(this);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched == control<QWidget>(ControlId::List1)) {
        markLineToOpen();
        // Told after the list's own focus, which a screen reader says as the list alone.
        QMetaObject::invokeMethod(this, &Form1::sayMarkedLine, Qt::QueuedConnection);
    }
    const bool enter = event->type() == QEvent::KeyPress
        && (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return
            || static_cast<QKeyEvent *>(event)->key() == Qt::Key_Enter);
    if (!enter)
        return QWidget::eventFilter(watched, event);
    // A focused button is pressed, as Space presses it: Qt's buttons take Enter only in a dialog.
    if (auto *button = qobject_cast<QPushButton *>(watched)) {
        button->click();
        return true;
    }
    markLineToOpen();  // the line that the keyboard marks is the one meant
    if (m_events)
        m_events->List1_DblClick();
    return true;
}

void Form1::markLineToOpen()
{
    // The line that Enter opens is the selected one, and the one a screen reader says, however
    // the list got the focus: the first when the keyboard marked none yet.
    auto *list = control<QListWidget>(ControlId::List1);
    QListWidgetItem *marked = list->currentItem() ? list->currentItem() : list->item(0);
    if (marked && !marked->isSelected())
        list->setCurrentItem(marked, QItemSelectionModel::ClearAndSelect);
}

void Form1::sayMarkedLine()
{
    auto *list = control<QListWidget>(ControlId::List1);
    if (!list->hasFocus() || list->currentRow() < 0)
        return;
    QAccessibleEvent focus(list, QAccessible::Focus);
    focus.setChild(list->currentRow());
    QAccessible::updateAccessibility(&focus);
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

void Form1::setCaption(Caption id, const std::u16string &text)
{
    const QString shown = QString::fromStdU16String(text);
    if (auto *button = qobject_cast<QPushButton *>(m_controls[static_cast<std::size_t>(id)])) {
        button->setText(shown);
    } else if (auto *status = qobject_cast<StatusLabel *>(m_controls[static_cast<std::size_t>(id)])) {
        status->showText(shown);
    } else if (auto *label = qobject_cast<QLabel *>(m_controls[static_cast<std::size_t>(id)]);
               label && label->text() != shown) {
        // A poll rewrites the same texts: an unchanged one is not measured again.
        label->setText(shown);
        label->adjustSize();
    }
}

void Form1::setText1(const std::u16string &text)
{
    auto *text1 = control<QLineEdit>(ControlId::Text1);
    text1->setText(QString::fromStdU16String(text));
    text1->setCursorPosition(0);  // show the address from its first character
}

void Form1::disableCommand1()
{
    // The focus moves on to the next step, 循环接收. Left to Qt it would pass to Text1, which would
    // select the address, scroll to its end and blink its cursor for as long as the program runs.
    auto *command1 = control<QPushButton>(ControlId::Command1);
    if (command1->hasFocus())
        control<QWidget>(ControlId::Command2)->setFocus(Qt::OtherFocusReason);
    command1->setEnabled(false);
}

void Form1::appendListItem(const ui::MailLine &line, const std::u16string &spoken)
{
    auto *item = new QListWidgetItem(QString::fromStdU16String(line.joined(true)));
    item->setData(Qt::AccessibleTextRole, QString::fromStdU16String(spoken));
    control<QListWidget>(ControlId::List1)->addItem(item);
}

int Form1::selectedListIndex() const
{
    auto *list = control<QListWidget>(ControlId::List1);
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void Form1::askForAttention()
{
    if (isActiveWindow())
        return;
    setAttentionMark(this, true);
    m_markedForAttention = true;
}

void Form1::announce(const std::u16string &text)
{
    m_announcer->announce(QString::fromStdU16String(text));
}

void Form1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_markedForAttention) {
        setAttentionMark(this, false);
        m_markedForAttention = false;
    }
    QWidget::changeEvent(event);
}

void Form1::showMailViewer(std::string content)
{
    m_viewer.show();
    m_viewer.setText(std::move(content));
}

}  // namespace venmarra
