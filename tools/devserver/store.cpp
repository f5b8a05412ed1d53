#include "store.h"

#include <random>

namespace venmarra::devserver {

std::string randomText(std::size_t length, const std::string &alphabet)
{
    thread_local std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text(length, ' ');
    for (char &c : text)
        c = alphabet[pick(source)];
    return text;
}

MailStore::MailStore(StoreLimits limits, std::function<Clock::time_point()> now)
    : m_limits(limits)
    , m_now(std::move(now))
{
}

std::string MailStore::uniqueName() const
{
    static const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    static const std::string lettersAndDigits = letters + "0123456789";
    for (;;) {
        std::string name = randomText(1, letters) + randomText(9, lettersAndDigits);
        if (!m_mailboxes.count(name))
            return name;
    }
}

std::optional<MailStore::Allocation> MailStore::allocate()
{
    static const std::string sidAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::lock_guard lock(m_mutex);
    purgeLocked();
    if (m_mailboxes.size() >= m_limits.maxMailboxes)
        return std::nullopt;
    Allocation allocation {uniqueName(), randomText(40, sidAlphabet)};
    const Clock::time_point now = m_now();
    m_mailboxes[allocation.name] = Mailbox {allocation.sid, now, now + m_limits.lifetime, {}};
    return allocation;
}

std::optional<MailboxView> MailStore::view(const std::string &name, const std::string &sid) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_mailboxes.find(name);
    if (found == m_mailboxes.end() || sid.empty() || found->second.sid != sid)
        return std::nullopt;
    const Mailbox &box = found->second;
    MailboxView view {name, m_now() < box.expires, box.created, box.expires, {}};
    view.newestFirst.assign(box.mails.rbegin(), box.mails.rend());
    return view;
}

std::optional<StoredMail> MailStore::mail(const std::string &name, const std::string &sid,
                                          const std::string &mid) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_mailboxes.find(name);
    if (found == m_mailboxes.end() || sid.empty() || found->second.sid != sid)
        return std::nullopt;
    for (const StoredMail &stored : found->second.mails)
        if (stored.mid == mid)
            return stored;
    return std::nullopt;
}

Delivery MailStore::checkLocked(const std::string &name, std::size_t bytes) const
{
    const auto found = m_mailboxes.find(name);
    if (found == m_mailboxes.end())
        return Delivery::NoSuchMailbox;
    if (m_now() >= found->second.expires)
        return Delivery::Expired;
    if (found->second.mails.size() >= m_limits.maxMailsPerMailbox)
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

Delivery MailStore::deliver(const std::string &name, ParsedMail mail, std::size_t bytes)
{
    const std::lock_guard lock(m_mutex);
    const Delivery verdict = checkLocked(name, bytes);
    if (verdict != Delivery::Accepted)
        return verdict;
    m_mailboxes[name].mails.push_back({std::to_string(m_nextMid++), std::move(mail), bytes});
    m_bytes += bytes;
    return Delivery::Accepted;
}

void MailStore::purgeLocked()
{
    const Clock::time_point now = m_now();
    for (auto it = m_mailboxes.begin(); it != m_mailboxes.end();) {
        if (now < it->second.expires + m_limits.keepExpired) {
            ++it;
            continue;
        }
        for (const StoredMail &stored : it->second.mails)
            m_bytes -= stored.bytes;
        it = m_mailboxes.erase(it);
    }
}

void MailStore::purge()
{
    const std::lock_guard lock(m_mutex);
    purgeLocked();
}

std::size_t MailStore::mailboxCount() const
{
    const std::lock_guard lock(m_mutex);
    return m_mailboxes.size();
}

std::size_t MailStore::storedBytes() const
{
    const std::lock_guard lock(m_mutex);
    return m_bytes;
}

}  // namespace venmarra::devserver
