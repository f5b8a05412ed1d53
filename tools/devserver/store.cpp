#include "devserver/store.h"

#include "text/utf.h"

#include <sqlite3.h>

#include <algorithm>
#include <random>

namespace venmarra::devserver {
namespace {

// Written into the file (user_version); a file of a newer one is not this service's to read.
constexpr int kSchemaVersion = 1;

constexpr const char *kSchema = R"(
CREATE TABLE mailboxes (
    name TEXT PRIMARY KEY,
    sid TEXT NOT NULL UNIQUE,
    created INTEGER NOT NULL,
    expires INTEGER NOT NULL
);
CREATE TABLE mails (
    mid INTEGER PRIMARY KEY AUTOINCREMENT,
    mailbox TEXT NOT NULL REFERENCES mailboxes (name) ON DELETE CASCADE,
    sender TEXT NOT NULL,
    subject TEXT NOT NULL,
    content TEXT NOT NULL,
    bytes INTEGER NOT NULL
);
CREATE INDEX mails_of_mailbox ON mails (mailbox, mid);
INSERT INTO sqlite_sequence (name, seq) VALUES ('mails', 999);
PRAGMA user_version = 1;
)";

[[noreturn]] void fail(sqlite3 *database, const std::string &what)
{
    using Kind = StoreError::Kind;
    const int code = database ? sqlite3_errcode(database) : SQLITE_CANTOPEN;
    const Kind kind = code == SQLITE_NOTADB || code == SQLITE_CORRUPT ? Kind::Unusable
        : code == SQLITE_FULL                                         ? Kind::Full
        : code == SQLITE_BUSY || code == SQLITE_LOCKED                ? Kind::Busy
                                                                      : Kind::Failed;
    throw StoreError(kind, what + ": " + (database ? sqlite3_errmsg(database) : "out of memory"));
}

// One prepared statement, its values bound in order.
class Statement {
public:
    Statement(sqlite3 *database, const char *sql)
        : m_database(database)
    {
        sqlite3_stmt *raw = nullptr;
        if (sqlite3_prepare_v2(database, sql, -1, &raw, nullptr) != SQLITE_OK)
            fail(database, "cannot read the store");
        m_statement.reset(raw);
    }

    Statement &bind(std::int64_t value)
    {
        check(sqlite3_bind_int64(m_statement.get(), ++m_bound, value));
        return *this;
    }
    Statement &bind(const std::string &value)
    {
        check(sqlite3_bind_text(m_statement.get(), ++m_bound, value.data(), static_cast<int>(value.size()),
                                SQLITE_STATIC));
        return *this;
    }
    // True while there is a row to read.
    bool step()
    {
        const int code = sqlite3_step(m_statement.get());
        if (code == SQLITE_ROW)
            return true;
        if (code != SQLITE_DONE)
            fail(m_database, "the store failed");
        return false;
    }
    std::int64_t integer(int column) const { return sqlite3_column_int64(m_statement.get(), column); }
    std::string text(int column) const
    {
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_statement.get(), column));
        return bytes
            ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(m_statement.get(), column)))
            : std::string();
    }

private:
    void check(int code) const
    {
        if (code != SQLITE_OK)
            fail(m_database, "cannot read the store");
    }
    struct Finalizer {
        void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
    };
    sqlite3 *m_database;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
    int m_bound = 0;
};

void execute(sqlite3 *database, const char *sql)
{
    if (sqlite3_exec(database, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(database, "the store failed");
}

// A write that is kept whole or not at all: rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3 *database)
        : m_database(database)
    {
        execute(database, "BEGIN IMMEDIATE");
    }
    ~Transaction()
    {
        if (!m_committed)
            sqlite3_exec(m_database, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    // On disk once this returns (synchronous = FULL).
    void commit()
    {
        execute(m_database, "COMMIT");
        m_committed = true;
    }

private:
    sqlite3 *m_database;
    bool m_committed = false;
};

std::int64_t stored(Clock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch()).count();
}

Clock::time_point fromStored(std::int64_t microseconds)
{
    return Clock::time_point(
        std::chrono::duration_cast<Clock::duration>(std::chrono::microseconds(microseconds)));
}

std::int64_t microsecondsOf(std::chrono::seconds span)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(span).count();
}

// A mail's identifier as the store numbers it; nothing for text that is no such number.
std::optional<std::int64_t> storedMid(const std::string &mid)
{
    if (mid.empty() || mid.size() > 18
        || !std::ranges::all_of(mid, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoll(mid);
}

}  // namespace

std::size_t storedSize(const ParsedMail &mail)
{
    return mail.from.size() + mail.subject.size() + mail.content.size();
}

std::string randomText(std::size_t length, const std::string &alphabet)
{
    thread_local std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text(length, ' ');
    for (char &c : text)
        c = alphabet[pick(source)];
    return text;
}

void MailStore::Closer::operator()(sqlite3 *database) const
{
    sqlite3_close_v2(database);
}

MailStore::MailStore(StoreLimits limits, std::function<Clock::time_point()> now, const std::string &path)
    : m_limits(limits)
    , m_now(std::move(now))
{
    sqlite3 *raw = nullptr;
    const int opened
        = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    m_database.reset(raw);
    if (opened != SQLITE_OK)
        fail(raw, "cannot open the store " + path);
    sqlite3 *database = m_database.get();
    // Each commit on disk before it returns; a deleted mail's bytes overwritten, not left free.
    execute(database,
            "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA secure_delete = ON;"
            "PRAGMA foreign_keys = ON");
    Statement version(database, "PRAGMA user_version");
    version.step();
    if (version.integer(0) > kSchemaVersion)
        throw StoreError(StoreError::Kind::Unusable,
                         "the store " + path + " is of a newer version (" + std::to_string(version.integer(0))
                             + ") than " + std::to_string(kSchemaVersion));
    if (version.integer(0) == 0) {
        Transaction schema(database);
        execute(database, kSchema);
        schema.commit();
    }
    Statement check(database, "PRAGMA quick_check");
    if (!check.step() || check.text(0) != "ok")
        throw StoreError(StoreError::Kind::Unusable, "the store " + path + " is damaged: " + check.text(0));
    Statement bytes(database, "SELECT COALESCE(SUM(bytes), 0) FROM mails");
    bytes.step();
    m_bytes = static_cast<std::size_t>(bytes.integer(0));
}

MailStore::~MailStore() = default;

std::string MailStore::uniqueName() const
{
    // Six characters, a letter first, without m and w, the widest letters: the whole address, the
    // widest name of this form included, fits the program's address box at the desktop's font.
    static const std::string letters = "abcdefghijklnopqrstuvxyz";
    static const std::string lettersAndDigits = letters + "0123456789";
    for (;;) {
        std::string name = randomText(1, letters) + randomText(5, lettersAndDigits);
        if (!Statement(m_database.get(), "SELECT 1 FROM mailboxes WHERE name = ?").bind(name).step())
            return name;
    }
}

std::size_t MailStore::mailboxCountLocked() const
{
    Statement count(m_database.get(), "SELECT COUNT(*) FROM mailboxes");
    count.step();
    return static_cast<std::size_t>(count.integer(0));
}

std::optional<MailStore::Allocation> MailStore::allocate()
{
    static const std::string sidAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::lock_guard lock(m_mutex);
    purgeLocked();
    if (mailboxCountLocked() >= m_limits.maxMailboxes)
        return std::nullopt;
    Allocation allocation {uniqueName(), randomText(40, sidAlphabet)};
    const Clock::time_point now = m_now();
    Statement(m_database.get(), "INSERT INTO mailboxes (name, sid, created, expires) VALUES (?, ?, ?, ?)")
        .bind(allocation.name)
        .bind(allocation.sid)
        .bind(stored(now))
        .bind(stored(now + m_limits.lifetime))
        .step();
    return allocation;
}

bool MailStore::ownsLocked(const std::string &name, const std::string &sid) const
{
    return !sid.empty()
        && Statement(m_database.get(), "SELECT 1 FROM mailboxes WHERE name = ? AND sid = ?")
               .bind(name)
               .bind(sid)
               .step();
}

std::optional<MailboxView> MailStore::view(const std::string &name, const std::string &sid) const
{
    const std::lock_guard lock(m_mutex);
    Statement box(m_database.get(), "SELECT created, expires FROM mailboxes WHERE name = ? AND sid = ?");
    if (sid.empty() || !box.bind(name).bind(sid).step())
        return std::nullopt;
    MailboxView view {name,
                      m_now() < fromStored(box.integer(1)),
                      fromStored(box.integer(0)),
                      fromStored(box.integer(1)),
                      {}};
    Statement mails(m_database.get(),
                    "SELECT mid, sender, subject FROM mails WHERE mailbox = ? ORDER BY mid DESC LIMIT ?");
    mails.bind(name).bind(static_cast<std::int64_t>(m_limits.maxMailsShown));
    while (mails.step())
        view.newestFirst.push_back({std::to_string(mails.integer(0)), {mails.text(1), mails.text(2), {}}});
    return view;
}

bool MailStore::owns(const std::string &name, const std::string &sid) const
{
    const std::lock_guard lock(m_mutex);
    return ownsLocked(name, sid);
}

std::optional<StoredMail> MailStore::mail(const std::string &name, const std::string &sid,
                                          const std::string &mid) const
{
    const std::optional<std::int64_t> number = storedMid(mid);
    if (!number || sid.empty())
        return std::nullopt;
    const std::lock_guard lock(m_mutex);
    Statement found(m_database.get(),
                    "SELECT sender, subject, content FROM mails JOIN mailboxes ON mailbox = name "
                    "WHERE name = ? AND sid = ? AND mid = ?");
    if (!found.bind(name).bind(sid).bind(*number).step())
        return std::nullopt;
    return StoredMail {std::to_string(*number), {found.text(0), found.text(1), found.text(2)}};
}

Delivery MailStore::checkLocked(const std::string &name, std::size_t bytes) const
{
    Statement box(
        m_database.get(),
        "SELECT expires, (SELECT COUNT(*) FROM mails WHERE mailbox = name) FROM mailboxes WHERE name = ?");
    if (!box.bind(name).step())
        return Delivery::NoSuchMailbox;
    if (stored(m_now()) >= box.integer(0))
        return Delivery::Expired;
    if (static_cast<std::size_t>(box.integer(1)) >= m_limits.maxMailsPerMailbox)
        return Delivery::MailboxFull;
    if (m_bytes + bytes > m_limits.maxTotalBytes)
        return Delivery::StoreFull;
    return Delivery::Accepted;
}

Delivery MailStore::check(const std::string &name, std::size_t bytes) const
{
    const std::lock_guard lock(m_mutex);
    return checkLocked(name, bytes);
}

Delivery MailStore::deliverAll(const std::vector<std::string> &names, ParsedMail mail)
{
    const ParsedMail valid {text::validUtf8(std::move(mail.from)), text::validUtf8(std::move(mail.subject)),
                            text::validUtf8(std::move(mail.content))};
    const std::size_t bytes = storedSize(valid);
    const std::lock_guard lock(m_mutex);
    try {
        Transaction delivery(m_database.get());
        for (std::size_t i = 0; i < names.size(); ++i) {
            // Room for every copy so far in the store's byte cap, and room in each mailbox.
            const Delivery verdict = checkLocked(names[i], bytes * (i + 1));
            if (verdict != Delivery::Accepted)
                return verdict;
            Statement(m_database.get(),
                      "INSERT INTO mails (mailbox, sender, subject, content, bytes) VALUES (?, ?, ?, ?, ?)")
                .bind(names[i])
                .bind(valid.from)
                .bind(valid.subject)
                .bind(valid.content)
                .bind(static_cast<std::int64_t>(bytes))
                .step();
        }
        delivery.commit();
    } catch (const StoreError &error) {
        return error.kind() == StoreError::Kind::Full ? Delivery::DiskFull : Delivery::StoreFailed;
    }
    m_bytes += bytes * names.size();
    return Delivery::Accepted;
}

void MailStore::purgeLocked()
{
    const std::int64_t before = stored(m_now()) - microsecondsOf(m_limits.keepExpired);
    Statement gone(m_database.get(), "DELETE FROM mailboxes WHERE expires <= ?");
    gone.bind(before).step();
    if (sqlite3_changes(m_database.get()) == 0)
        return;
    // The mails went with their mailboxes, their bytes overwritten (secure_delete); the log of
    // writes that still held them is emptied into the file and cut to nothing.
    sqlite3_wal_checkpoint_v2(m_database.get(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    Statement bytes(m_database.get(), "SELECT COALESCE(SUM(bytes), 0) FROM mails");
    bytes.step();
    m_bytes = static_cast<std::size_t>(bytes.integer(0));
}

void MailStore::purge()
{
    const std::lock_guard lock(m_mutex);
    purgeLocked();
}

std::size_t MailStore::mailboxCount() const
{
    const std::lock_guard lock(m_mutex);
    return mailboxCountLocked();
}

std::size_t MailStore::storedBytes() const
{
    const std::lock_guard lock(m_mutex);
    return m_bytes;
}

}  // namespace venmarra::devserver
