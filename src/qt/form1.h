#pragma once

#include "mailbox/main_window_view.h"
#include "qt/mail_viewer.h"

#include <QWidget>

#include <array>
#include <optional>

namespace venmarra {

// The main window: its controls built from the design's table, and nothing else. Events go to
// the MainWindowEvents attached to it; its logic writes through MainWindowView.
class Form1 final : public QWidget, public MainWindowView {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    void attach(MainWindowEvents *events);

    void setCaption(Caption control, const std::u16string &text) override;
    void setText1(const std::u16string &text) override;
    void disableCommand1() override;
    void appendListItem(const ui::MailLine &line, const std::u16string &spoken) override;
    int selectedListIndex() const override;
    void showMailViewer(std::string content) override;
    void askForAttention() override;
    void announce(const std::u16string &text) override;

    MailViewer &mailViewer() { return m_viewer; }

protected:
    void closeEvent(QCloseEvent *event) override;
    // The design's lines, in the window-text colour.
    void paintEvent(QPaintEvent *event) override;
    // Clears the attention mark once the user activates the window.
    void changeEvent(QEvent *event) override;
    // Enter presses the focused button; on List1 it opens the mail that the keyboard marks, as a
    // double-click does.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Creates the controls that `container` holds (the window's own for none), back to front.
    void createControls(QWidget *parent, std::optional<ui::ControlId> container, const ui::TwipScale &twips);
    QWidget *createControl(const ui::ControlDesign &design, QWidget *parent, const ui::TwipScale &twips);
    void tieLabels();
    void chainTabOrder();
    void markLineToOpen();
    // Tells a screen reader the line that Enter opens, as the list's focus.
    void sayMarkedLine();
    void connectEvents();
    template <typename T>
    T *control(ui::ControlId id) const
    {
        return static_cast<T *>(m_controls[static_cast<std::size_t>(id)]);
    }

    const ui::TwipScale m_twips;  // at the font the window was built at
    MainWindowEvents *m_events = nullptr;
    bool m_markedForAttention = false;
    MailViewer m_viewer;
    std::array<QWidget *, ui::kControlCount> m_controls {};
    class Announcer *m_announcer = nullptr;
};

}  // namespace venmarra
