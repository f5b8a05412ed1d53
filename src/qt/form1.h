#pragma once

#include "mailbox/main_window_view.h"
#include "qt/mail_viewer.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace venmarra {

class LineShape;
class StatusLabel;

// The main window: its controls with their names, places and texts, and nothing else. Events
// go to the MainWindowEvents attached to it; its logic writes through MainWindowView.
class Form1 final : public QWidget, public MainWindowView {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    void attach(MainWindowEvents *events);

    void setCaption(Caption control, const std::u16string &text) override;
    void setText1(const std::u16string &text) override;
    void disableCommand1() override;
    void appendListItem(const MailLine &mail) override;
    int selectedListIndex() const override;
    std::u16string listItemMailId(int index) const override;
    std::u16string listItemText(int index) const override;
    void showMailViewer(const std::u16string &content) override;

    MailViewer &mailViewer() { return m_viewer; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void createFrame1();
    void chainTabOrder();
    void connectEvents();
    QLabel *label(Caption control) const;

    MainWindowEvents *m_events = nullptr;
    MailViewer m_viewer;
    // Back to front, as the design stacks them.
    StatusLabel *m_label4 = nullptr;
    QLabel *m_label7 = nullptr;
    LineShape *m_line1 = nullptr;
    LineShape *m_line2 = nullptr;
    LineShape *m_line3 = nullptr;
    QPushButton *m_command1 = nullptr;
    QGroupBox *m_frame1 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_label5 = nullptr;
    QLabel *m_label6 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QListWidget *m_list1 = nullptr;
    QPushButton *m_command3 = nullptr;
};


}  // namespace venmarra
