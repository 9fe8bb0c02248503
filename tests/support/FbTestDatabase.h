#pragma once

#include "TempDir.h"
#include "platform/FbStatement.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

namespace fbtest {

// The system's client library; the embedded engine behind it opens database files by path.
std::shared_ptr<platform::FbClient> systemClient();

// SYSDBA (any password opens a file through the embedded engine), forced writes off: the
// databases of the tests are thrown away, so they need not survive a power cut.
platform::FbConnectOptions sysdba(const std::string& charset = "UTF8");

// A new database file, UTF8 by default, in a folder of its own, attached as SYSDBA.
class ScratchDatabase {
public:
    explicit ScratchDatabase(const platform::FbCreateOptions& createOptions = {8192, "UTF8"},
                             const platform::FbConnectOptions& options = sysdba());

    const std::string& path() const { return path_; }
    platform::FbDatabase& db() { return db_; }
    // Runs each text in a transaction of its own, committed.
    void execute(std::initializer_list<std::string_view> statements);
    // The first column of the first row of a query, as text.
    std::string scalar(std::string_view query);

private:
    testsupport::TempDir dir_;
    std::string path_;
    platform::FbDatabase db_;
};

// Runs a query in its own transaction and returns its first column of the first row as text.
std::string queryScalar(platform::FbDatabase& db, std::string_view query);

} // namespace fbtest
