#pragma once

#include <string>

namespace venmarra {

// One mail of List1 as the service sent it. Its text, FROM "|" SUBJECT "|" MID, is also the key
// that tells a new mail from one listed before.
struct MailLine {
    std::u16string from;
    std::u16string subject;
    std::u16string mailId;

    std::u16string text() const { return from + u'|' + subject + u'|' + mailId; }
};

}  // namespace venmarra
