#pragma once

#include "devserver/clock.h"
#include "devserver/mail.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

namespace venmarra::devserver {

// The size of `mail` as it is stored, for the store's byte cap.
std::size_t storedSize(const ParsedMail &mail);

struct StoredMail {
    std::string mid;
    ParsedMail mail;  // in a view of a mailbox, its sender and subject only
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

// StoreFull: the store's own cap. DiskFull and StoreFailed: the store's file could not take it
// (no space, an I/O error, a read-only file); nothing of it was kept, and the sender may try again.
enum class Delivery { Accepted, NoSuchMailbox, Expired, MailboxFull, StoreFull, DiskFull, StoreFailed };

// A store that cannot be opened, read or written; what() says why.
class StoreError : public std::runtime_error {
public:
    enum class Kind { Unusable, Full, Busy, Failed };
    StoreError(Kind kind, const std::string &what)
        : std::runtime_error(what)
        , m_kind(kind)
    {
    }
    // Unusable: the file is no store of this service (not a database, corrupt, a newer schema);
    // Full: no space left for it; Busy: another connection holds it.
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// The service's sessions, mailboxes and mails, in one SQLite database file that survives a
// restart, a crash or an upgrade: a mail is stored, on disk, before delivery says so. Safe to use
// from any thread; one process at a time.
class MailStore {
public:
    // The store in the database file `path` (made when missing); ":memory:" keeps it in memory,
    // for tests. Throws StoreError when the file cannot serve.
    explicit MailStore(StoreLimits limits = {}, std::function<Clock::time_point()> now = Clock::now,
                       const std::string &path = ":memory:");
    ~MailStore();
    MailStore(const MailStore &) = delete;
    MailStore &operator=(const MailStore &) = delete;
    MailStore(MailStore &&) = delete;

    struct Allocation {
        std::string name;
        std::string sid;
    };
    // A new mailbox owned by a new session cookie; nothing when the store is at its cap. The reads
    // and this throw StoreError when the file fails.
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

    // Drops the mailboxes whose time to answer has passed, their mails gone from the file for good.
    void purge();
    std::size_t mailboxCount() const;
    std::size_t storedBytes() const;

private:
    Delivery checkLocked(const std::string &name, std::size_t bytes) const;
    bool ownsLocked(const std::string &name, const std::string &sid) const;
    void purgeLocked();
    std::string uniqueName() const;
    std::size_t mailboxCountLocked() const;

    const StoreLimits m_limits;
    const std::function<Clock::time_point()> m_now;
    mutable std::mutex m_mutex;
    struct Closer {
        void operator()(sqlite3 *database) const;
    };
    std::unique_ptr<sqlite3, Closer> m_database;
    std::size_t m_bytes = 0;
};

// Random text of `length` characters from `alphabet`, from the system's random source.
std::string randomText(std::size_t length, const std::string &alphabet);

}  // namespace venmarra::devserver
