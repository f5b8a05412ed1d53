#pragma once

#include <QWidget>

namespace venmarra {

class MailTextEdit;

// The mail viewer: one multi-line plain-text box. Closing it destroys it.
class Form2 final : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget *parent = nullptr);

    void setText1(std::string text);  // UTF-8
    MailTextEdit *text1() const { return m_text1; }

private:
    MailTextEdit *m_text1 = nullptr;
};

}  // namespace venmarra
