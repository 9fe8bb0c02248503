#pragma once

#include "TempDir.h"

#include <string>
#include <sys/types.h>

namespace testsupport {

// A Firebird 3 server of the test's own, listening on 127.0.0.1 at a free port, for the tests
// where the network path matters (everything else opens files through the embedded engine).
//
// It runs from a private root folder: its own firebird.conf (loopback only, no UDFs), its own
// security database whose SYSDBA has the given password, its own lock folder, so it never
// meets the system's server or other tests. Construction returns once a real attach over TCP
// has worked. Destruction stops it (SIGTERM, then SIGKILL after about 3 s, as Firebird 3.0.11
// sometimes ignores SIGTERM) and removes everything; the server also dies with the test
// process should that crash. As root the server runs as the `firebird` user, like the system's.
class FirebirdServer {
public:
    explicit FirebirdServer(std::string sysdbaPassword);
    ~FirebirdServer();
    FirebirdServer(const FirebirdServer&) = delete;
    FirebirdServer& operator=(const FirebirdServer&) = delete;

    int port() const { return port_; }
    const std::string& sysdbaPassword() const { return password_; }
    // The connection string of a database file in the server's own data folder, where the
    // server may create it: "127.0.0.1/<port>:<folder>/<fileName>".
    std::string databaseName(const std::string& fileName) const;

private:
    void prepareRoot() const;
    void buildSecurityDatabase() const;
    void start();
    void waitUntilReady();
    void stop() noexcept;
    std::string serverLog() const;

    TempDir state_;
    std::string password_;
    int port_ = 0;
    pid_t pid_ = -1;
};

} // namespace testsupport
