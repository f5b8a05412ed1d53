#include "store.h"

#include "text/utf.h"

#include <algorithm>
#include <random>

namespace venmarra::devserver {

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

const MailStore::Mailbox *MailStore::ownedLocked(const std::string &name, const std::string &sid) const
{
    const auto found = m_mailboxes.find(name);
    return found == m_mailboxes.end() || sid.empty() || found->second.sid != sid ? nullptr : &found->second;
}

std::optional<MailboxView> MailStore::view(const std::string &name, const std::string &sid) const
{
    const std::lock_guard lock(m_mutex);
    const Mailbox *box = ownedLocked(name, sid);
    if (!box)
        return std::nullopt;
    MailboxView view {name, m_now() < box->expires, box->created, box->expires, {}};
    const std::size_t shown = std::min(box->mails.size(), m_limits.maxMailsShown);
    view.newestFirst.assign(box->mails.rbegin(), box->mails.rbegin() + static_cast<std::ptrdiff_t>(shown));
    return view;
}

bool MailStore::owns(const std::string &name, const std::string &sid) const
{
    const std::lock_guard lock(m_mutex);
    return ownedLocked(name, sid) != nullptr;
}

std::optional<StoredMail> MailStore::mail(const std::string &name, const std::string &sid,
                                          const std::string &mid) const
{
    const std::lock_guard lock(m_mutex);
    const Mailbox *box = ownedLocked(name, sid);
    if (!box)
        return std::nullopt;
    for (const StoredMail &stored : box->mails)
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

Delivery MailStore::deliverAll(const std::vector<std::string> &names, ParsedMail mail)
{
    const auto shared = std::make_shared<const ParsedMail>(
        ParsedMail {text::validUtf8(std::move(mail.from)), text::validUtf8(std::move(mail.subject)),
                    text::validUtf8(std::move(mail.content))});
    const std::size_t bytes = storedSize(*shared);
    const std::lock_guard lock(m_mutex);
    for (std::size_t i = 0; i < names.size(); ++i) {
        // Room for every copy so far in the store's byte cap, and room in each mailbox.
        const Delivery verdict = checkLocked(names[i], bytes * (i + 1));
        if (verdict != Delivery::Accepted)
            return verdict;
    }
    for (const std::string &name : names)
        m_mailboxes[name].mails.push_back({std::to_string(m_nextMid++), shared});
    m_bytes += bytes * names.size();
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
            m_bytes -= storedSize(*stored.mail);
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
