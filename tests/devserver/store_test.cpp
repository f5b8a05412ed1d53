#include "store.h"

#include <gtest/gtest.h>

#include <set>

namespace venmarra::devserver {
namespace {

using namespace std::chrono_literals;

class StoreTest : public testing::Test {
protected:
    MailStore makeStore(StoreLimits limits = {})
    {
        return MailStore(limits, [this] { return now; });
    }
    Clock::time_point now = Clock::time_point(std::chrono::hours(500000));
};

TEST_F(StoreTest, allocationsAreUniqueAndMailsAreReadOnlyByTheirOwnersCookie)
{
    MailStore store = makeStore();
    std::set<std::string> names, sids;
    for (int i = 0; i < 200; ++i) {
        const auto allocation = store.allocate();
        ASSERT_TRUE(allocation);
        names.insert(allocation->name);
        sids.insert(allocation->sid);
    }
    EXPECT_EQ(names.size(), 200u);
    EXPECT_EQ(sids.size(), 200u);

    const auto box = store.allocate();
    ASSERT_EQ(store.deliverAll({box->name}, {"a", "first", "1"}), Delivery::Accepted);
    ASSERT_EQ(store.deliverAll({box->name}, {"b", "second", "2"}), Delivery::Accepted);
    const auto view = store.view(box->name, box->sid);
    ASSERT_EQ(view->newestFirst.size(), 2u);
    const std::string mid = view->newestFirst[1].mid;
    EXPECT_NE(view->newestFirst[0].mid, mid);
    EXPECT_EQ(store.mail(box->name, box->sid, mid)->mail->content, "1");
    EXPECT_FALSE(store.view("nosuchbox", box->sid));
    EXPECT_FALSE(store.mail(box->name, box->sid, "nope"));
    EXPECT_EQ(store.storedBytes(), 15u) << "bytes as stored: sender, subject and content";
}

TEST_F(StoreTest, anExpiredMailboxRefusesMailShowsNotLiveAndIsPurgedLater)
{
    MailStore store = makeStore({.lifetime = 600s, .keepExpired = 600s});
    const auto box = store.allocate();
    store.deliverAll({box->name}, {"a", "s", "c"});
    EXPECT_TRUE(store.view(box->name, box->sid)->live);
    EXPECT_EQ(store.view(box->name, box->sid)->expires - store.view(box->name, box->sid)->created, 600s);

    now += 600s;
    EXPECT_FALSE(store.view(box->name, box->sid)->live);
    EXPECT_EQ(store.check(box->name), Delivery::Expired);
    EXPECT_EQ(store.deliverAll({box->name}, {"a", "s", "c"}), Delivery::Expired);

    now += 599s;
    store.purge();
    EXPECT_EQ(store.mailboxCount(), 1u);
    now += 1s;
    store.purge();
    EXPECT_EQ(store.mailboxCount(), 0u);
    EXPECT_EQ(store.storedBytes(), 0u) << "purging frees the mails' bytes";
    EXPECT_EQ(store.check(box->name), Delivery::NoSuchMailbox);
}

TEST_F(StoreTest, capsRefuseCleanly)
{
    MailStore store = makeStore({.maxMailboxes = 2, .maxMailsPerMailbox = 2, .maxTotalBytes = 100});
    const auto box = store.allocate();
    ASSERT_TRUE(store.allocate());
    EXPECT_FALSE(store.allocate()) << "no third mailbox";
    const auto sized = [](std::size_t bytes) {
        return ParsedMail {"", "", std::string(bytes, 'x')};
    };
    EXPECT_EQ(store.deliverAll({box->name}, sized(60)), Delivery::Accepted);
    EXPECT_EQ(store.check(box->name, 50), Delivery::StoreFull);
    EXPECT_EQ(store.deliverAll({box->name}, sized(50)), Delivery::StoreFull);
    EXPECT_EQ(store.deliverAll({box->name}, sized(40)), Delivery::Accepted);
    EXPECT_EQ(store.deliverAll({box->name}, sized(0)), Delivery::MailboxFull);
    EXPECT_EQ(store.view(box->name, box->sid)->newestFirst.size(), 2u);
}

}  // namespace
}  // namespace venmarra::devserver
