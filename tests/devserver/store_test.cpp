#include "devserver/http_api.h"
#include "devserver/store.h"
#include "devserver/store_file.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
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
        EXPECT_TRUE(std::regex_match(allocation->name, std::regex("[a-ln-vx-z][a-ln-vx-z0-9]{5}")))
            << allocation->name << ": six characters, a letter first, no m or w (the address box's width)";
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
    EXPECT_EQ(store.mail(box->name, box->sid, mid)->mail.content, "1");
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

// A folder of its own for a test's store, removed after it.
class StoreFolder {
public:
    StoreFolder()
        : m_path(std::filesystem::temp_directory_path()
                 / ("venmarra-store-test-" + randomText(12, "abcdef0123456789")))
    {
    }
    ~StoreFolder() { std::filesystem::remove_all(m_path); }
    std::string path() const { return m_path.string(); }
    std::string database() const { return path() + "/mail.sqlite3"; }
    // Every byte of the store's files, the database and those SQLite keeps beside it.
    std::string allBytes() const
    {
        std::string bytes;
        for (const auto &entry : std::filesystem::directory_iterator(m_path)) {
            std::ifstream file(entry.path(), std::ios::binary);
            bytes.append(std::istreambuf_iterator<char>(file), {});
        }
        return bytes;
    }

private:
    std::filesystem::path m_path;
};

TEST_F(StoreTest, aRestartKeepsSessionsMailboxesTimesAndMailsAndNeverReusesAnIdentifier)
{
    const StoreFolder folder;
    const LogLine quiet = [](const std::string &) {
    };
    MailStore::Allocation box;
    std::optional<MailboxView> before;
    {
        StoreFile file(folder.path(), {}, quiet);
        box = *file.store().allocate();
        ASSERT_EQ(file.store().deliverAll({box.name}, {"a@x", "first", "body 1"}), Delivery::Accepted);
        before = file.store().view(box.name, box.sid);
        EXPECT_THROW(StoreFile(folder.path(), {}, quiet), StoreError) << "a second service on the same store";
    }
    StoreFile again(folder.path(), {}, quiet);
    const std::optional<MailboxView> after = again.store().view(box.name, box.sid);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->created, before->created);
    EXPECT_EQ(after->expires, before->expires);
    ASSERT_EQ(after->newestFirst.size(), 1u);
    const std::string firstMid = after->newestFirst[0].mid;
    EXPECT_EQ(firstMid, before->newestFirst[0].mid);
    EXPECT_EQ(again.store().mail(box.name, box.sid, firstMid)->mail.content, "body 1");
    EXPECT_EQ(again.store().storedBytes(), 14u);
    ASSERT_EQ(again.store().deliverAll({box.name}, {"b@x", "second", "body 2"}), Delivery::Accepted);
    EXPECT_GT(std::stoll(again.store().view(box.name, box.sid)->newestFirst[0].mid), std::stoll(firstMid));
}

TEST(StoreFolderByDefault, isSystemdsStateFolderElseXdgStateHomeElseTheHomesLocalState)
{
    const struct {
        const char *stateDirectory, *xdgStateHome;
        std::string folder;
    } cases[] = {
        {"/var/lib/venmarra-devserver:/var/lib/other", "/x", "/var/lib/venmarra-devserver"},
        {nullptr, "/home/u/state", "/home/u/state/venmarra-devserver"},
        {nullptr, nullptr, "/home/u/.local/state/venmarra-devserver"},
    };
    setenv("HOME", "/home/u", 1);
    for (const auto &c : cases) {
        c.stateDirectory ? setenv("STATE_DIRECTORY", c.stateDirectory, 1) : unsetenv("STATE_DIRECTORY");
        c.xdgStateHome ? setenv("XDG_STATE_HOME", c.xdgStateHome, 1) : unsetenv("XDG_STATE_HOME");
        EXPECT_EQ(defaultStoreFolder(), c.folder);
    }
}

TEST_F(StoreTest, aPurgedMailIsGoneFromTheStoresFilesForGood)
{
    const StoreFolder folder;
    std::filesystem::create_directories(folder.path());
    MailStore store(
        {.lifetime = 600s, .keepExpired = 600s}, [this] { return now; }, folder.database());
    const auto box = store.allocate();
    const std::string token = "purged-token-" + randomText(16, "abcdefghij");
    ASSERT_EQ(store.deliverAll({box->name}, {"a@x", token, token + " in the body"}), Delivery::Accepted);
    ASSERT_NE(folder.allBytes().find(token), std::string::npos) << "the mail is on disk";
    now += 1200s;
    store.purge();
    EXPECT_EQ(folder.allBytes().find(token), std::string::npos);
}

TEST_F(StoreTest, aStoreThatCannotBeReadFailsTheRequestAndTheServiceGoesOn)
{
    const StoreFolder folder;
    std::filesystem::create_directories(folder.path());
    MailStore store({}, Clock::now, folder.database());
    std::vector<std::string> logged;
    const HttpApi api(store, [&](const std::string &line) { logged.push_back(line); });
    const auto box = store.allocate();
    const WebRequest refresh {"POST", "/", {{"type", "refresh"}, {"data", box->name}, {"arg", ""}}, box->sid};
    ASSERT_EQ(api.handle(refresh).status, 200);
    sqlite3 *other = nullptr;  // the mails taken from under the service
    sqlite3_open(folder.database().c_str(), &other);
    sqlite3_exec(other, "DROP TABLE mails", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(api.handle(refresh).status, 500);
    EXPECT_EQ(store.deliverAll({box->name}, {"a", "s", "c"}), Delivery::StoreFailed) << "451, nothing kept";
    EXPECT_EQ(api.handle({"GET", "/", {}, {}}).status, 200) << "what does not need the mails still works";
    ASSERT_FALSE(logged.empty());
    EXPECT_NE(logged.back().find("-> 200"), std::string::npos);
}

TEST_F(StoreTest, aFileThatIsNoStoreIsMovedAsideAndANewStoreServes)
{
    const LogLine quiet = [](const std::string &) {
    };
    const auto newerSchema = [](const std::string &path) {
        MailStore {{}, Clock::now, path};
        sqlite3 *database = nullptr;
        sqlite3_open(path.c_str(), &database);
        sqlite3_exec(database, "PRAGMA user_version = 2", nullptr, nullptr, nullptr);
        sqlite3_close(database);
    };
    const auto truncated = [](const std::string &path) {
        {
            MailStore store {{}, Clock::now, path};
            for (int i = 0; i < 20; ++i)
                store.deliverAll({store.allocate()->name}, {"a", "s", std::string(4000, 'x')});
        }
        std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2 + 100);
    };
    const auto garbage = [](const std::string &path) {
        std::ofstream(path) << std::string(5000, 'g');
    };
    for (const auto &spoil : {std::function<void(const std::string &)>(garbage), std::function(truncated),
                              std::function(newerSchema)}) {
        const StoreFolder folder;
        std::filesystem::create_directories(folder.path());
        spoil(folder.database());
        std::vector<std::string> logged;
        StoreFile file(folder.path(), {}, [&](const std::string &line) { logged.push_back(line); });
        EXPECT_TRUE(file.store().allocate()) << "a new store serves";
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_NE(logged[0].find("moved aside"), std::string::npos) << logged[0];
        std::size_t kept = 0;
        for (const auto &entry : std::filesystem::directory_iterator(folder.path()))
            kept += entry.path().filename().string().starts_with("mail.sqlite3.unusable-") ? 1 : 0;
        EXPECT_GE(kept, 1u) << "the bad file is kept";
    }
}

}  // namespace
}  // namespace venmarra::devserver
