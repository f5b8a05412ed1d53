#pragma once

#include "mailbox/main_window_view.h"

#include "service/answer_reader.h"

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

namespace venmarra {

// The readers of the service's JSON answers, which write into the main window and the viewer.
// Each step reads on its own: what cannot be read is empty, and the next step goes on.
class Module1 {
public:
    // Runs work away from the window's thread while the window repaints (Toolkit::runInBackground).
    using Offload = std::function<void(const std::function<void()> &)>;

    // With `offload`, a large answer is parsed away from the window's thread, so that a
    // megabyte-sized mail cannot freeze the window while it is read.
    explicit Module1(Offload offload = {})
        : m_offload(std::move(offload))
    {
    }

    // Fills the mailbox labels and appends a line for every mail of the answer's list that was not
    // listed before in this run, oldest first; returns how many lines it appended.
    // The answers are the text that HttpRequest gave, in well-formed UTF-8.
    std::size_t ParseRefreshResponse(std::string_view answer, MainWindowView &view);
    // Shows the mail viewer with the mail's content. A mail may be megabytes: the answer is let go
    // once read, and its content is taken out of what was read, not copied.
    void ShowMailContent(std::string answer, MainWindowView &view);

    // The last line appended to List1.
    const std::u16string &LastMailKey() const { return m_lastMailKey; }
    // List1's line at `index`, as it was read; nothing for an index that List1 does not hold.
    const ui::MailLine *line(int index) const;
    std::size_t lineCount() const { return m_lines.size(); }

    // Answers larger than this are read away from the window's thread when an offload is given.
    static constexpr std::size_t kOffloadAbove = 256 * 1024;
    // How many entries of a refresh answer's list, newest first, are read.
    static constexpr int kMailsReadPerRefresh = 100;

private:
    // Runs `work`, which reads an answer of `answerSize` units, away from the window's thread when
    // the answer is large and an offload was given.
    void readAside(std::size_t answerSize, const std::function<void()> &work) const;
    // The mails of the answer's list not listed yet, oldest first.
    std::vector<ui::MailLine> unlistedMails(const AnswerReader &data) const;

    Offload m_offload;
    std::u16string m_lastMailKey;
    std::vector<ui::MailLine> m_lines;  // List1's lines as the service sent them, in order
    std::unordered_set<std::u16string> m_listed;  // the text of every line appended
};

}  // namespace venmarra
