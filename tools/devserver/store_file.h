#pragma once

#include "devserver/log.h"
#include "devserver/store.h"

#include <memory>
#include <string>

// Where the service keeps its store, and how it opens it.
namespace venmarra::devserver {

// The folder of the store when none is named: systemd's state folder for the service
// ($STATE_DIRECTORY), else $XDG_STATE_HOME/venmarra-devserver (~/.local/state/...).
std::string defaultStoreFolder();

// The store in `folder` (made when missing), held by this process alone for as long as it lives:
// a second service on the same folder gets StoreError::Kind::Busy. A file there that is no store
// of this service is not deleted: it is moved aside under a dated name, one line says so in the
// log, and a new store is made in its place.
class StoreFile {
public:
    StoreFile(const std::string &folder, StoreLimits limits, const LogLine &log);
    ~StoreFile();
    StoreFile(const StoreFile &) = delete;
    StoreFile &operator=(const StoreFile &) = delete;

    MailStore &store() { return *m_store; }
    // The database file itself.
    const std::string &path() const { return m_path; }

private:
    int m_lock = -1;
    std::string m_path;
    std::unique_ptr<MailStore> m_store;
};

}  // namespace venmarra::devserver
