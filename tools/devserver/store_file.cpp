#include "devserver/store_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace venmarra::devserver {
namespace {

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

// The database and the files that SQLite keeps beside it.
constexpr const char *kDatabase = "mail.sqlite3";
constexpr const char *kBeside[] = {"", "-wal", "-shm"};

std::string stamp()
{
    char text[32];
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

}  // namespace

std::string defaultStoreFolder()
{
    // systemd may name several folders, separated by colons: the service has one.
    if (const std::string state = environment("STATE_DIRECTORY"); !state.empty())
        return state.substr(0, state.find(':'));
    const std::string xdg = environment("XDG_STATE_HOME");
    const std::string base = !xdg.empty() ? xdg : environment("HOME") + "/.local/state";
    return base + "/venmarra-devserver";
}

StoreFile::StoreFile(const std::string &folder, StoreLimits limits, const LogLine &log)
    : m_path(folder + "/" + kDatabase)
{
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    const std::string lockPath = folder + "/lock";
    m_lock = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lock < 0)
        throw StoreError(StoreError::Kind::Failed,
                         "cannot use the store folder " + folder + ": " + std::strerror(errno));
    if (flock(m_lock, LOCK_EX | LOCK_NB) != 0) {
        close(m_lock);
        throw StoreError(StoreError::Kind::Busy, "another venmarra-devserver uses the store in " + folder);
    }
    try {
        m_store = std::make_unique<MailStore>(limits, Clock::now, m_path);
    } catch (const StoreError &error) {
        if (error.kind() != StoreError::Kind::Unusable)
            throw;
        const std::string aside = m_path + ".unusable-" + stamp();
        for (const char *suffix : kBeside)
            std::filesystem::rename(m_path + suffix, aside + suffix, made);
        log("store " + m_path + " is unusable (" + error.what() + "): moved aside to " + aside
            + ", a new one made");
        m_store = std::make_unique<MailStore>(limits, Clock::now, m_path);
    }
}

StoreFile::~StoreFile()
{
    m_store.reset();  // closed before the lock goes
    if (m_lock >= 0)
        close(m_lock);
}

}  // namespace venmarra::devserver
