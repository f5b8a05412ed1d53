#pragma once

#include "common.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace venmarra::devserver {

// The size of `mail` as it is stored, for the store's byte cap.
std::size_t storedSize(const ParsedMail &mail);

struct StoredMail {
    std::string mid;
    // Shared, never changed: a view or a lookup copies the pointer under the store's lock, not
    // the mail, and a mail for several mailboxes is held once.
    std::shared_ptr<const ParsedMail> mail;
};

struct MailboxView {
    std::string name;
    bool live = false;
    Clock::time_point created;
    Clock::time_point expires;
    std::vector<StoredMail> newestFirst;  // the newest StoreLimits::maxMailsShown
};

struct StoreLimits {
    std::chrono::seconds lifetime {600};
    // Expired mailboxes still answer (with STATUS 0) this long, then they are purged.
    std::chrono::seconds keepExpired {600};
    std::size_t maxMailboxes = 1000;
    std::size_t maxMailsPerMailbox = 100;
    std::size_t maxMailsShown = 100;  // in a view of a mailbox, newest first
    std::size_t maxTotalBytes = static_cast<std::size_t>(256) * 1024 * 1024;
};

enum class Delivery { Accepted, NoSuchMailbox, Expired, MailboxFull, StoreFull };

// The service's mailboxes and mails, safe to use from any thread.
class MailStore {
public:
    explicit MailStore(StoreLimits limits = {}, std::function<Clock::time_point()> now = Clock::now);

    struct Allocation {
        std::string name;
        std::string sid;
    };
    // A new mailbox owned by a new session cookie; nothing when the store is at its cap.
    std::optional<Allocation> allocate();
    // The mailbox named `name` as session `sid` sees it; nothing when it does not own it.
    std::optional<MailboxView> view(const std::string &name, const std::string &sid) const;
    bool owns(const std::string &name, const std::string &sid) const;
    // One mail of a mailbox that `sid` owns.
    std::optional<StoredMail> mail(const std::string &name, const std::string &sid,
                                   const std::string &mid) const;

    // Whether mail for `name` of `bytes` stored bytes would be accepted now.
    Delivery check(const std::string &name, std::size_t bytes = 0) const;
    // Stores the mail in every mailbox of `names`, or, when one of them cannot take it, in none
    // (the first refusal is returned). Each copy gets an identifier of its own. Its texts are kept
    // as well-formed UTF-8 (text::validUtf8).
    Delivery deliverAll(const std::vector<std::string> &names, ParsedMail mail);

    // Drops the mailboxes whose time to answer has passed.
    void purge();
    std::size_t mailboxCount() const;
    std::size_t storedBytes() const;

private:
    struct Mailbox {
        std::string sid;
        Clock::time_point created;
        Clock::time_point expires;
        std::vector<StoredMail> mails;  // oldest first
    };
    Delivery checkLocked(const std::string &name, std::size_t bytes) const;
    const Mailbox *ownedLocked(const std::string &name, const std::string &sid) const;
    void purgeLocked();
    std::string uniqueName() const;

    const StoreLimits m_limits;
    const std::function<Clock::time_point()> m_now;
    mutable std::mutex m_mutex;
    std::map<std::string, Mailbox> m_mailboxes;
    std::size_t m_bytes = 0;
    unsigned long long m_nextMid = 1000;
};

// Random text of `length` characters from `alphabet`, from the system's random source.
std::string randomText(std::size_t length, const std::string &alphabet);

}  // namespace venmarra::devserver
