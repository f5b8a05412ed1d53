#include "build_settings.h"
#include "qt/form1.h"
#include "qt/mail_text_edit.h"
#include "qt/mail_viewer.h"
#include "qt/qt_toolkit.h"

#include <QAccessible>
#include <QClipboard>
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

namespace venmarra {

class WidgetTest : public QObject {
    Q_OBJECT
private slots:
    void form1_controlsHaveTheirDesignedPlacesTextsAndStacking();
    void form1_windowIsFixedWithMinimiseAndCloseOnly();
    void form1_tabOrderFirstFocusAndScreenReaderNames();
    void form1_autoSizeLabelsGrowRightAndAreClippedByTheFrame();
    void form1_layoutFollowsTheDefaultFont_data();
    void form1_layoutFollowsTheDefaultFont();
    void form1_markupIsShownAsPlainTextAndTheListKeepsOrderAndMailIds();
    void form2_isAFixedReadingWindow();
    void viewer_isReusedWhileOpenAndCreatedAfresh();
    void viewer_longLinesAreHeldInBlocksButCopiedExactly();
    void messageBox_usesPlainTextAndTheApplicationTitle();
};

namespace {

QRect px(int left, int top, int width, int height) { return QRect(left / 15, top / 15, width / 15, height / 15); }

template <typename T = QWidget>
T *child(QWidget &window, const char *name)
{
    return window.findChild<T *>(QString::fromLatin1(name));
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

QStringList childNames(QWidget *parent)  // back to front
{
    QStringList names;
    for (QObject *object : parent->children())
        if (object->isWidgetType() && !object->objectName().startsWith("qt_"))
            names << object->objectName();
    return names;
}

}  // namespace

void WidgetTest::form1_controlsHaveTheirDesignedPlacesTextsAndStacking()
{
    const struct {
        const char *name, *className, *container;
        QRect geometry;  // labels marked auto-size: only the place counts
        bool autoSize;
        QString text;
    } controls[] = {
        {"Command3", "QPushButton", "Form1", px(3240, 2520, 615, 495), false, "停止"},
        {"List1", "QListWidget", "Form1", px(3960, 600, 4815, 2760), false, QString()},
        {"Command2", "QPushButton", "Form1", px(1680, 2520, 1455, 495), false, "循环接收"},
        {"Frame1", "QGroupBox", "Form1", px(120, 240, 3735, 2175), false, "邮箱信息"},
        {"Text1", "QLineEdit", "Frame1", px(1200, 240, 2415, 375), false, QString()},
        {"Label6", "QLabel", "Frame1", px(120, 1080, 900, 180), true, "是否可用："},
        {"Label5", "QLabel", "Frame1", px(120, 720, 720, 180), true, "邮箱名："},
        {"Label3", "QLabel", "Frame1", px(120, 1800, 900, 180), true, "结束时间："},
        {"Label2", "QLabel", "Frame1", px(120, 1440, 900, 180), true, "开始时间："},
        {"Label1", "QLabel", "Frame1", px(120, 360, 1080, 180), true, "临时邮箱名："},
        {"Command1", "QPushButton", "Form1", px(120, 2520, 1455, 495), false, "生成邮箱"},
        {"Label7", "QLabel", "Form1", px(3960, 360, 4815, 255), false, "双击读取邮件"},
        {"Label4", "QLabel", "Form1", px(120, 3120, 90, 180), true, QString()},
        // The heading's box: the list reaches one pixel further right than the right-hand line.
        {"Line1", "venmarra::LineShape", "Form1", QRect(264, 16, 1, 25), false, QString()},
        {"Line2", "venmarra::LineShape", "Form1", QRect(264, 16, 321, 1), false, QString()},
        {"Line3", "venmarra::LineShape", "Form1", QRect(584, 16, 1, 25), false, QString()},
    };
    Form1 form;
    for (const auto &expected : controls) {
        QWidget *control = child(form, expected.name);
        QVERIFY2(control && control->inherits(expected.className), expected.name);
        QCOMPARE(control->parentWidget()->objectName(), QString::fromLatin1(expected.container));
        QVERIFY(control->isEnabled() && !control->isHidden());
        // An auto-sized label's size follows its caption (form1_layoutFollowsTheDefaultFont).
        const QRect place = expected.autoSize ? QRect(control->pos(), expected.geometry.size()) : control->geometry();
        QCOMPARE(place, expected.geometry);
        QCOMPARE(captionOf(control), expected.text);
    }
    QCOMPARE(child<QListWidget>(form, "List1")->count(), 0);
    QCOMPARE(child<QLabel>(form, "Label7")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    QCOMPARE(childNames(&form), QStringList({"Label4", "Label7", "Line1", "Line2", "Line3", "Command1", "Frame1",
                                             "Command2", "List1", "Command3"}));
    QCOMPARE(childNames(child(form, "Frame1")), QStringList({"Label1", "Label2", "Label3", "Label5", "Label6", "Text1"}));
}

void WidgetTest::form1_windowIsFixedWithMinimiseAndCloseOnly()
{
    Form1 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Venmarra  - By ") + QString::fromUtf8(build::kAuthorCredit));
    QCOMPARE(form.size(), QSize(589, 228));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint && flags & Qt::WindowCloseButtonHint && flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.showMaximized();
    QCOMPARE(form.size(), QSize(589, 228));
}

void WidgetTest::form1_tabOrderFirstFocusAndScreenReaderNames()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), child(form, "Command1"));
    QStringList order;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, QStringList({"Text1", "Command2", "List1", "Command3", "Command1"}));
    form.disableCommand1();
    child(form, "Command3")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Text1"));

    form.showMailViewer(u"mail");
    const auto name = [](QWidget *widget) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible ? accessible->text(QAccessible::Name) : QStringLiteral("<none>");
    };
    QCOMPARE(name(child(form, "Text1")), QStringLiteral("临时邮箱名"));
    QCOMPARE(name(child(form, "List1")), QStringLiteral("双击读取邮件"));
    QCOMPARE(name(child(form, "Command1")), QStringLiteral("生成邮箱"));
    QCOMPARE(name(form.mailViewer().window()->text1()), QStringLiteral("邮件内容"));
}

void WidgetTest::form1_autoSizeLabelsGrowRightAndAreClippedByTheFrame()
{
    Form1 form;
    auto *label5 = child<QLabel>(form, "Label5");
    const QPoint place = label5->pos();
    form.setCaption(MainWindowView::Caption::Label5, u"用户名：" + std::u16string(80, u'长'));
    QCOMPARE(label5->pos(), place);
    QVERIFY(label5->width() > child(form, "Frame1")->width());
    QCOMPARE(label5->parentWidget(), child(form, "Frame1"));  // a child is clipped by its parent
    QCOMPARE(form.size(), QSize(589, 228));
    form.setCaption(MainWindowView::Caption::Label4, u"检测完成.");
    QCOMPARE(child(form, "Label4")->pos(), QPoint(8, 208));
}

void WidgetTest::form1_layoutFollowsTheDefaultFont_data()
{
    QTest::addColumn<int>("points");
    QTest::newRow("9 pt") << 9;
    QTest::newRow("11 pt") << 11;
    QTest::newRow("14 pt") << 14;
}

namespace {

// Where `control` draws its caption, in `form`'s coordinates; empty for a control without one.
QRect captionRect(QWidget &form, QWidget *control)
{
    const QFontMetrics metrics(control->font());
    QRect inside, text;
    if (auto *label = qobject_cast<QLabel *>(control)) {
        inside = label->contentsRect();
        text = QStyle::alignedRect(Qt::LeftToRight, label->alignment(), metrics.size(0, label->text()), inside);
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

void WidgetTest::form1_layoutFollowsTheDefaultFont()
{
    QFETCH(int, points);
    const QFont desktopFont = QApplication::font();
    QFont font = desktopFont;
    font.setPointSize(points);
    QApplication::setFont(font);
    const auto restore = qScopeGuard([&] { QApplication::setFont(desktopFont); });
    Form1 form;
    form.setCaption(MainWindowView::Caption::Label4, u"正在获取新邮箱..");
    form.setCaption(MainWindowView::Caption::Label5, u"邮箱名：k3x9q2rw@venmarra.test");

    // The window keeps its proportions to the font's Chinese character.
    const double character = QFontMetricsF(font).horizontalAdvance(QChar(u'中'));
    QVERIFY(character > 0);
    QVERIFY2(std::abs(form.width() - 8835 / 180.0 * character) <= 1, qPrintable(QString::number(form.width())));
    QVERIFY2(std::abs(form.height() - 3420 / 180.0 * character) <= 1, qPrintable(QString::number(form.height())));

    const QList<QWidget *> controls = form.findChildren<QWidget *>(QRegularExpression("^(Label|Command|Frame|Text|List|Line)"));
    QCOMPARE(controls.size(), 16);
    for (QWidget *control : controls) {
        const QRect caption = captionRect(form, control);
        if (caption.isNull())
            continue;
        QVERIFY2(caption.isValid(), qPrintable(control->objectName() + " does not hold its caption"));
        // Within the window, and within the frame for the frame's own labels.
        QVERIFY2(QRect(control->parentWidget()->mapTo(&form, QPoint()), control->parentWidget()->size()).contains(caption),
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
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {  // the same rules on a scaled screen
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    }
}

void WidgetTest::form1_markupIsShownAsPlainTextAndTheListKeepsOrderAndMailIds()
{
    Form1 form;
    const QString markup = "<img src=\"file:///etc/passwd\"><b>bold</b>&lt;";
    using Caption = MainWindowView::Caption;
    for (auto caption : {Caption::Label2, Caption::Label3, Caption::Label4, Caption::Label5, Caption::Label6})
        form.setCaption(caption, markup.toStdU16String());
    for (const char *name : {"Label2", "Label3", "Label4", "Label5", "Label6"})
        QCOMPARE(captionOf(child(form, name)), markup);
    form.appendListItem({u"z", u"subject", u"9"});  // lines stay in the order they came, not sorted
    form.appendListItem({markup.toStdU16String(), u"s", u"1"});
    QCOMPARE(form.selectedListIndex(), -1);
    auto *list = child<QListWidget>(form, "List1");
    QVERIFY(list->item(1)->text().contains(markup));
    QCOMPARE(QString::fromStdU16String(form.listItemText(0)), QStringLiteral("z|subject|9"));
    QCOMPARE(QString::fromStdU16String(form.listItemText(1)), markup + "|s|1");
    QCOMPARE(QString::fromStdU16String(form.listItemMailId(1)), QStringLiteral("1"));
    list->setCurrentRow(1);
    QCOMPARE(form.selectedListIndex(), 1);
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
}

void WidgetTest::form2_isAFixedReadingWindow()
{
    Form2 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("邮件内容"));
    QCOMPARE(form.size(), QSize(304, 182));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    MailTextEdit *text1 = form.text1();
    QCOMPARE(text1->objectName(), QStringLiteral("Text1"));
    QCOMPARE(text1->geometry(), QRect(8, 8, 289, 169));
    QCOMPARE(text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(text1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(!text1->isReadOnly());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString longLine = QString(5000, QLatin1Char('w'));
    form.setText1(("<b>" + longLine + "</b>").toStdU16String());
    QCOMPARE(text1->mailText(), "<b>" + longLine + "</b>");
    QVERIFY2(text1->verticalScrollBar()->maximum() > 0, "a long word wraps into many lines");
}

void WidgetTest::viewer_isReusedWhileOpenAndCreatedAfresh()
{
    MailViewer viewer;
    QVERIFY(!viewer.window());
    viewer.show();
    viewer.setText(u"first");
    QPointer<Form2> first = viewer.window();
    QVERIFY(first && first->isVisible());
    first->move(first->pos() + QPoint(30, 30));
    const QPoint moved = first->pos();
    viewer.show();
    viewer.setText(u"second");
    QCOMPARE(viewer.window(), first.data());
    QCOMPARE(first->pos(), moved);
    QCOMPARE(first->text1()->mailText(), QStringLiteral("second"));

    first->close();
    QTRY_VERIFY(first.isNull());
    viewer.show();
    QVERIFY(viewer.window());
    QCOMPARE(viewer.window()->text1()->mailText(), QString());
    viewer.setText(u"third");
    QCOMPARE(viewer.window()->text1()->mailText(), QStringLiteral("third"));
}

void WidgetTest::viewer_longLinesAreHeldInBlocksButCopiedExactly()
{
    MailTextEdit edit;
    QString words;
    while (words.size() < 50000)
        words += QStringLiteral("word%1 ").arg(words.size());
    const QString mail = "short line\r\n" + words + "\n" + QString(30000, QChar(u'邮')) + "\n\n" + QString(20000, 'x') + "\ttail";
    QString expected = mail;
    expected.replace("\r\n", "\n");
    edit.setMailText(mail);
    QCOMPARE(edit.mailText(), expected);
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next())
        QVERIFY(block.length() <= MailTextEdit::kBlockLength * 2);
    // Copied from inside the line of words, across the box's own breaks, to the end.
    QTextCursor cursor(edit.document()->findBlockByNumber(3));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 7);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    edit.copy();
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY(copied.size() > 50000 && expected.endsWith(copied));

    // A large mail arrives a slice at a time; a mail shown meanwhile replaces it entirely.
    const QString large = QString(3 * MailTextEdit::kSliceLength, QChar(u'大')) + "\nend";
    edit.setMailText(large);
    QVERIFY(edit.isLoading());
    QTRY_VERIFY(!edit.isLoading());
    QCOMPARE(edit.mailText(), large);
    edit.setMailText(large);
    edit.setMailText("a\n");
    // A box given the same large mail at the same time: once it is full, a forgotten load of the
    // first box would have been too.
    MailTextEdit alongside;
    alongside.setMailText(large);
    QTRY_VERIFY(!alongside.isLoading());
    QCOMPARE(edit.mailText(), QStringLiteral("a\n"));
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
        QMessageBox *seen = nullptr;
        QString title, text;
        // Answers the box as soon as it is open, however late it comes.
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto *open = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); open && !seen) {
                seen = open;
                title = open->windowTitle(), text = open->text();
                QCOMPARE(open->textFormat(), Qt::PlainText);
                QCOMPARE(open->icon(), box.shownIcon);
                open->button(QMessageBox::Ok)->click();
            }
        });
        watch.start(5);
        toolkit.messageBox(box.text, box.icon, box.title);
        QVERIFY(seen);
        QCOMPARE(title, box.shownTitle);
        QCOMPARE(text, QString::fromStdU16String(box.text));
    }
}

}  // namespace venmarra

QTEST_MAIN(venmarra::WidgetTest)
#include "widget_test.moc"
