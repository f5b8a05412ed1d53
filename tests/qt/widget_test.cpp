// What the Qt front end adds to the core: its windows built from the design at the desktop's
// font, what screen readers read, input during an exchange, the viewer's box, message boxes.
#include "qt/accessibility.h"
#include "qt/form1.h"
#include "qt/mail_text_edit.h"
#include "qt/mail_viewer.h"
#include "qt/qt_toolkit.h"
#include "qt/twips.h"

#include <QAccessible>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

#include <future>
#include <ranges>

namespace venmarra {

class WidgetTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installAccessibleRoles(); }
    void form1_isBuiltFromTheDesignAtTheDesktopsFont_data();
    void form1_isBuiltFromTheDesignAtTheDesktopsFont();
    void form1_focusAfterCreationAndScreenReaderNames();
    void form1_labelsAndListShowPlainTextInPlace();
    void toolkit_inputWaitsForTheExchangeWhileTheCloseBoxActs();
    void viewer_isReusedWhileOpenCreatedAfreshAndCopiesTheMailsText();
    void messageBox_usesPlainTextAndTheApplicationTitle();
};

namespace {

using ui::ControlId;
using ui::ControlKind;

template <typename T = QWidget>
T *child(QWidget &window, const char *name)
{
    return window.findChild<T *>(QString::fromLatin1(name));
}

template <typename T = QWidget>
T *child(QWidget &window, ControlId id)
{
    return child<T>(window, ui::designOf(id).name);
}

QString captionOf(QWidget *control)
{
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->textFormat() == Qt::PlainText ? label->text() : "<rich text>";
    if (auto *button = qobject_cast<QPushButton *>(control))
        return button->text();
    if (auto *frame = qobject_cast<QGroupBox *>(control))
        return frame->title();
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    return {};
}

// What the window system hands the program when the user clicks `widget` or closes `window`:
// queued as real input is, and handled under the same rules as a person's.
using Queued = QWindowSystemInterface::AsynchronousDelivery;
void queueUserClick(QWidget *widget)
{
    const QPointF local = widget->mapTo(widget->window(), widget->rect().center());
    const QPointF global = widget->mapToGlobal(widget->rect().center());
    QWindow *window = widget->window()->windowHandle();
    QWindowSystemInterface::handleMouseEvent<Queued>(window, local, global, Qt::LeftButton, Qt::LeftButton,
                                                     QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<Queued>(window, local, global, Qt::NoButton, Qt::LeftButton,
                                                     QEvent::MouseButtonRelease);
}

// The main window's events, counted.
struct CountedEvents final : MainWindowEvents {
    void Form_Load() override { }
    void Form_Unload() override { ++unloads; }
    void Command1_Click() override { }
    void Command2_Click() override { }
    void Command3_Click() override { ++stops; }
    void List1_DblClick() override { }
    int unloads = 0, stops = 0;
};

// Where `control` draws its caption, in `form`'s coordinates; empty for a control without one.
QRect captionRect(QWidget &form, QWidget *control)
{
    const QFontMetrics metrics(control->font());
    QRect inside, text;
    if (auto *label = qobject_cast<QLabel *>(control)) {
        inside = label->contentsRect();
        text = QStyle::alignedRect(Qt::LeftToRight, label->alignment(), metrics.size(0, label->text()),
                                   inside);
    } else if (auto *button = qobject_cast<QPushButton *>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        inside = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        text = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, metrics.size(0, button->text()), inside);
    } else if (auto *frame = qobject_cast<QGroupBox *>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        inside = frame->rect();
        text = frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
    } else {
        return {};
    }
    if (!inside.contains(text))
        return QRect(0, 0, -1, -1);  // marks a caption that does not fit
    return QRect(control->mapTo(&form, text.topLeft()), text.size());
}

}  // namespace

void WidgetTest::form1_isBuiltFromTheDesignAtTheDesktopsFont_data()
{
    QTest::addColumn<int>("points");
    QTest::newRow("9 pt") << 9;
    QTest::newRow("11 pt") << 11;
    QTest::newRow("14 pt") << 14;
}

void WidgetTest::form1_isBuiltFromTheDesignAtTheDesktopsFont()
{
    QFETCH(int, points);
    const QFont desktopFont = QApplication::font();
    QFont font = desktopFont;
    font.setPointSize(points);
    QApplication::setFont(font);
    const auto restore = qScopeGuard([&] { QApplication::setFont(desktopFont); });
    Form1 form;

    // The window keeps its proportions to the font's Chinese character.
    const double character = QFontMetricsF(font).horizontalAdvance(QChar(u'中'));
    QVERIFY(character > 0);
    const QSizeF designed = QSizeF(8835, 3420) / 180 * character;
    QVERIFY2(std::abs(form.width() - designed.width()) <= 1
                 && std::abs(form.height() - designed.height()) <= 1,
             qPrintable(QStringLiteral("%1×%2").arg(form.width()).arg(form.height())));

    const ui::TwipScale twips = fontTwips();
    const QImage drawn = form.grab().toImage();
    for (const ui::ControlDesign &design : ui::form1Design().controls) {
        if (design.kind == ControlKind::Line) {  // drawn on the window, in the window-text colour
            const QRect line = toQRect(twips.lineBox(design.place));
            QVERIFY2(!child(form, design.name), design.name);
            QCOMPARE(drawn.pixelColor(line.center()), form.palette().color(QPalette::WindowText));
            continue;
        }
        QWidget *control = child(form, design.name);
        QVERIFY2(control, design.name);
        const char *container = design.container ? ui::designOf(*design.container).name : "Form1";
        QCOMPARE(control->parentWidget()->objectName(), QString::fromLatin1(container));
        QVERIFY(control->isEnabled() && !control->isHidden());
        QCOMPARE(captionOf(control), QString::fromStdU16String(std::u16string(design.caption)));
        if (design.kind == ControlKind::AutoSizeLabel)  // its size follows its caption
            QCOMPARE(control->pos(), toQRect(twips(design.place)).topLeft());
        else
            QCOMPARE(control->geometry(), toQRect(twips(design.place)));
    }

    // Every caption fits its control and covers no other, with longer texts in two labels.
    form.setCaption(ControlId::Label4, u"正在获取新邮箱..");
    form.setCaption(ControlId::Label5, u"邮箱名：k3x9q2rw@venmarra.test");
    const QList<QWidget *> controls
        = form.findChildren<QWidget *>(QRegularExpression("^(Label|Command|Frame|Text|List)"));
    QCOMPARE(controls.size(), 13);
    for (QWidget *control : controls) {
        const QRect caption = captionRect(form, control);
        if (caption.isNull())
            continue;
        QVERIFY2(caption.isValid(), qPrintable(control->objectName() + " does not hold its caption"));
        // Within the window, and within the frame for the frame's own labels.
        QVERIFY2(QRect(control->parentWidget()->mapTo(&form, QPoint()), control->parentWidget()->size())
                     .contains(caption),
                 qPrintable(control->objectName() + " is cut by its container"));
        for (QWidget *other : controls) {
            if (other == control || other == control->parentWidget() || other->parentWidget() == control)
                continue;
            const QRect place(other->mapTo(&form, QPoint()), other->size());
            QVERIFY2(!caption.intersects(place),
                     qPrintable(control->objectName() + "'s caption overlaps " + other->objectName()));
        }
    }
    if (const QString shots = qEnvironmentVariable("VENMARRA_SCREENSHOTS"); !shots.isEmpty())
        QVERIFY(form.grab().save(shots + QStringLiteral("/main-window-%1pt.png").arg(points)));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QSize size = form.size();
    form.showMaximized();
    QCOMPARE(form.size(), size);
}

void WidgetTest::form1_focusAfterCreationAndScreenReaderNames()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.disableCommand1();
    QCOMPARE(QApplication::focusWidget(), child(form, ControlId::Command2));  // on to the next step

    form.showMailViewer("mail");
    const auto name = [](QWidget *widget) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible ? accessible->text(QAccessible::Name) : QStringLiteral("<none>");
    };
    QCOMPARE(name(child(form, ControlId::Text1)), QStringLiteral("临时邮箱名"));
    QCOMPARE(name(child(form, ControlId::List1)), QStringLiteral("双击读取邮件"));
    QCOMPARE(name(child(form, ControlId::Command1)), QStringLiteral("生成邮箱"));
    QCOMPARE(name(form.mailViewer().window()->text1()), QStringLiteral("邮件内容"));
}

void WidgetTest::form1_labelsAndListShowPlainTextInPlace()
{
    Form1 form;
    const QString markup = "<img src=\"file:///etc/passwd\"><b>bold</b>&lt;";
    for (auto caption :
         {ControlId::Label2, ControlId::Label3, ControlId::Label4, ControlId::Label5, ControlId::Label6}) {
        form.setCaption(caption, markup.toStdU16String());
        QCOMPARE(captionOf(child(form, caption)), markup);
    }

    // A longer text grows a label to the right, past the frame, which clips it; the window stays.
    auto *label5 = child<QLabel>(form, ControlId::Label5);
    const QPoint place = label5->pos();
    const QSize windowSize = form.size();
    form.setCaption(ControlId::Label5, u"用户名：" + std::u16string(80, u'长'));
    QCOMPARE(label5->pos(), place);
    QVERIFY(label5->width() > child(form, ControlId::Frame1)->width());
    QCOMPARE(form.size(), windowSize);

    // Every address of the local service's form, six of its widest character and its domain, is
    // seen whole: the box need not scroll to show its end.
    auto *box = child<QLineEdit>(form, ControlId::Text1);
    const auto caretAt = [box] {
        return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    };
    for (const QChar c : QStringLiteral("abcdefghijklnopqrstuvxyz0123456789")) {
        form.setText1((QString(6, c) + QStringLiteral("@venmarra.test")).toStdU16String());
        const int start = caretAt();
        box->end(false);
        QCOMPARE(caretAt() - start, box->fontMetrics().horizontalAdvance(box->text()));
        QVERIFY2(caretAt() < box->contentsRect().right(), qPrintable(box->text()));
    }

    // The address shows from its first character, whatever its length.
    const std::u16string address = std::u16string(40000, u'n') + u"@venmarra.test";
    form.setText1(address);
    QCOMPARE(child<QLineEdit>(form, ControlId::Text1)->text(), QString::fromStdU16String(address));
    QCOMPARE(child<QLineEdit>(form, ControlId::Text1)->cursorPosition(), 0);

    // Lines stay in the order they came, not sorted, each field isolated.
    form.appendListItem({u"z", u"subject", u"9"}, u"z，subject");
    form.appendListItem({u"a", u"s", u"1"}, u"a，s");
    auto *list = child<QListWidget>(form, ControlId::List1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("\u2068z\u2069|\u2068subject\u2069|\u20689\u2069"));
}

void WidgetTest::toolkit_inputWaitsForTheExchangeWhileTheCloseBoxActs()
{
    const struct {
        const char *what;
        bool closeBox;
    } cases[] = {{"a click on 停止", false}, {"the close box", true}};
    for (const auto &c : cases) {
        QtToolkit toolkit;
        Form1 form;
        CountedEvents events;
        form.attach(&events);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto counted = [&] {
            return c.closeBox ? events.unloads : events.stops;
        };
        int duringTheExchange = -1;
        std::promise<void> release;
        QTimer act;  // on the stack: it cannot outlive the test
        act.setSingleShot(true);
        connect(&act, &QTimer::timeout, [&] {
            if (c.closeBox)
                QWindowSystemInterface::handleCloseEvent<Queued>(form.windowHandle());
            else
                queueUserClick(child(form, ControlId::Command3));
            QWindowSystemInterface::flushWindowSystemEvents();  // delivered now, as the user's would be
            duringTheExchange = counted();
            release.set_value();
        });
        act.start(0);
        std::future<void> released = release.get_future();
        toolkit.runInBackground([&] { released.wait_for(std::chrono::seconds(20)); });
        QCOMPARE(duringTheExchange, c.closeBox ? 1 : 0);
        QTRY_COMPARE(counted(), 1);  // a held click acts once the exchange is over, a close only once
        form.attach(nullptr);
    }
}

void WidgetTest::viewer_isReusedWhileOpenCreatedAfreshAndCopiesTheMailsText()
{
    MailViewer viewer;
    QVERIFY(!viewer.window());
    viewer.show();
    QPointer<Form2> first = viewer.window();
    QVERIFY(first && first->isVisible());
    const ui::TwipScale twips = fontTwips();
    QCOMPARE(first->size(),
             QSize(twips(ui::form2Design().clientWidth), twips(ui::form2Design().clientHeight)));
    QCOMPARE(first->minimumSize(), first->maximumSize());
    MailTextEdit *text1 = first->text1();
    QCOMPARE(text1->geometry(), toQRect(twips(ui::designOf(ControlId::Form2Text1).place)));

    // The same window, where the user left it, takes the next mail; a long line is held in
    // blocks that copying takes out again.
    first->move(first->pos() + QPoint(30, 30));
    const QPoint moved = first->pos();
    std::string words;
    while (words.size() < 50000)
        words += "word" + std::string(words.size() % 5, 'w') + ' ';
    viewer.show();
    viewer.setText("<b>short</b>\r\n" + words + "\nend");
    QCOMPARE(viewer.window(), first.data());
    QCOMPARE(first->pos(), moved);
    const QString expected = QString::fromStdString("<b>short</b>\n" + words + "\nend");
    QCOMPARE(text1->mailText(), expected);
    QVERIFY(text1->document()->blockCount() > 10);
    QVERIFY2(text1->verticalScrollBar()->maximum() > 0, "the long line wraps");
    // Selections that begin or end at a line's start, at one of the box's own breaks, or across both.
    const QTextDocument *document = text1->document();
    const auto block = [document](int number) {
        return document->findBlockByNumber(number);
    };
    const int last = document->blockCount() - 1;
    const int block3InMail
        = block(0).length() + static_cast<int>(block(1).text().size() + block(2).text().size());
    const struct {
        int start, end;
        QString copied;
    } selections[] = {
        {0, block(last).position(), expected.chopped(3)},
        {block(1).position(), document->characterCount() - 1, expected.mid(block(0).length())},
        {0, block(3).position(), expected.left(block3InMail)},
        {block(2).position() + 3, block(last).position(),
         expected.mid(block3InMail - block(2).text().size() + 3).chopped(3)},
    };
    for (const auto &selection : selections) {
        QTextCursor cursor(text1->document());
        cursor.setPosition(selection.start);
        cursor.setPosition(selection.end, QTextCursor::KeepAnchor);
        text1->setTextCursor(cursor);
        text1->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), selection.copied);
    }
    // A screen reader reads the mail's text, its offsets counted in the mail: no break of the box's.
    QAccessibleTextInterface *read = QAccessible::queryAccessibleInterface(text1)->textInterface();
    QCOMPARE(read->characterCount(), expected.size());
    QCOMPARE(read->text(0, read->characterCount()), expected);
    const auto inLongLine = static_cast<int>(expected.indexOf(QStringLiteral("word "), 20000));
    read->setCursorPosition(inLongLine);
    QCOMPARE(read->cursorPosition(), inLongLine);
    QCOMPARE(read->text(inLongLine, inLongLine + 5), QStringLiteral("word "));

    // A large mail arrives a slice at a time; a mail shown meanwhile replaces it entirely.
    std::string large;
    for (std::size_t units = 0; units < 3 * MailTextEdit::kSliceLength; ++units)
        large += "大";
    large += "\nend";
    text1->setMailText(large);
    QVERIFY(text1->isLoading());
    QTRY_VERIFY(!text1->isLoading());
    QCOMPARE(text1->mailText(), QString::fromStdString(large));
    text1->setMailText(large);
    text1->setMailText("a\n");
    // A box given the same large mail at the same time: once it is full, a forgotten load of the
    // first box would have been too.
    MailTextEdit alongside;
    alongside.setMailText(large);
    QTRY_VERIFY(!alongside.isLoading());
    QCOMPARE(text1->mailText(), QStringLiteral("a\n"));

    first->showMinimized();  // put away by the user: it takes the next mail but stays so
    viewer.show();
    QVERIFY(first->isMinimized());

    first->close();  // closed by the user: the next mail opens a new, empty viewer
    QTRY_VERIFY(first.isNull());
    viewer.show();
    QVERIFY(viewer.window());
    QCOMPARE(viewer.window()->text1()->mailText(), QString());
    viewer.setText("third");
    QCOMPARE(viewer.window()->text1()->mailText(), QStringLiteral("third"));
}

void WidgetTest::messageBox_usesPlainTextAndTheApplicationTitle()
{
    QtToolkit toolkit;
    using Icon = Toolkit::MessageIcon;
    const struct {
        std::u16string text, title;
        Icon icon;
        QString shownTitle;
        QMessageBox::Icon shownIcon;
    } boxes[] = {{u"<b>邮箱获取失败</b>", {}, Icon::None, "Venmarra", QMessageBox::NoIcon},
                 {u"Http错误代码:404", u"提示", Icon::Information, "提示", QMessageBox::Information}};
    for (const auto &box : boxes) {
        struct Seen {
            QString title, text;
            Qt::TextFormat format;
            QMessageBox::Icon icon;
        };
        std::optional<Seen> seen;
        // Answers the box as soon as it is open; what it saw is checked after the box has closed,
        // so that a failed check cannot leave it open. A box that never opens ends whatever waits
        // for it within 10 s, and the test fails.
        QTimer watch;
        QElapsedTimer waited;
        waited.start();
        connect(&watch, &QTimer::timeout, [&] {
            auto *open = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!open && !seen && waited.hasExpired(10000))
                QCoreApplication::exit(1);  // leaves every event loop that runs
            if (!open || seen)
                return;
            seen = Seen {open->windowTitle(), open->text(), open->textFormat(), open->icon()};
            open->button(QMessageBox::Ok)->click();
        });
        watch.start(5);
        toolkit.messageBox(box.text, box.icon, box.title);
        watch.stop();
        QVERIFY(seen);
        QCOMPARE(seen->title, box.shownTitle);
        QCOMPARE(seen->text, QString::fromStdU16String(box.text));
        QCOMPARE(seen->format, Qt::PlainText);
        QCOMPARE(seen->icon, box.shownIcon);
    }
}

}  // namespace venmarra

QTEST_MAIN(venmarra::WidgetTest)
#include "widget_test.moc"
