#pragma once

#include "platform/FbClient.h"
#include "platform/FbTransaction.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

namespace fbapi {
class Attachment;
}

// How to attach. Texts are UTF-8; each must fit in 255 bytes.
struct FbConnectOptions {
    // Every member has an initializer, so designated initializers may leave any of them out.
    std::string user{};
    std::string password{};
    std::string role{};
    std::string charset{}; // the connection character set (lc_ctype); empty: NONE
    int dialect = 3;       // the SQL dialect of the connection and of every statement on it
    // When set, switches the database's forced writes on or off as it is opened (the owner or
    // SYSDBA only). Off makes throw-away databases much faster.
    std::optional<bool> forcedWrites{};
};

// What only creating a database takes.
struct FbCreateOptions {
    int pageSize = 0;             // bytes; 0: the engine's default
    std::string defaultCharset{}; // the database's default character set; empty: NONE
};

// The database facts the server reports through its information call.
struct FbDatabaseInfo {
    int odsVersion = 0;
    int odsMinorVersion = 0;
    int sqlDialect = 0;
    int pageSize = 0;
    bool forcedWrites = false;
    int sweepInterval = 0;
    bool readOnly = false;
    int numBuffers = 0;
    int implementationNo = 0;
    int implementationClass = 0;
    // isc_info_firebird_version: the engine's version first ("LI-V3.0.11.33637 Firebird 3.0"),
    // then, through a server, one text per network layer.
    std::vector<std::string> firebirdVersions;
    // isc_info_version: the same in InterBase's older form.
    std::vector<std::string> versions;
};

// One attachment to a database, by name: a file path (opened in-process by the embedded
// engine) or a server address such as "localhost/3050:/data/x.fdb". Names are UTF-8; the
// client converts a file name to the process's character set, so on Linux a name beyond ASCII
// needs the process to run in a UTF-8 locale (Qt applications take it from the environment).
//
//     auto client = FbClient::loadForInstallFolder(installFolder);
//     auto db = FbDatabase::attach(client, "/data/erp.fdb",
//                                  {.user = "SYSDBA", .password = "secret", .charset = "UTF8"});
//     FbTransaction transaction = db.startTransaction();
//     transaction.executeImmediate("update t set x = 1");
//     transaction.commit(); // or rollback(); destroyed while active, it rolls back
//
// Ownership: the database owns the attachment. Transactions and statements made from it keep
// only a link to it; detaching (explicitly or by destroying the database) first frees every
// statement and rolls back every transaction still active, after which those objects raise
// FbError on use and are safe to destroy. So no order of destruction leaks or crashes.
// Movable, not copyable.
class FbDatabase {
public:
    // Both raise FbError with the server's message when the database cannot be opened or made.
    static FbDatabase attach(std::shared_ptr<FbClient> client, const std::string& name,
                             const FbConnectOptions& options);
    static FbDatabase create(std::shared_ptr<FbClient> client, const std::string& name,
                             const FbConnectOptions& options,
                             const FbCreateOptions& createOptions = {});

    FbDatabase(FbDatabase&&) noexcept;
    FbDatabase& operator=(FbDatabase&&) noexcept;
    ~FbDatabase(); // detaches, ignoring errors

    bool attached() const;
    const std::string& name() const { return name_; }
    const FbConnectOptions& options() const { return options_; }
    const std::shared_ptr<FbClient>& client() const;

    FbDatabaseInfo info();
    FbTransaction startTransaction(const FbTransactionOptions& options = {});

    // Both free the statements and roll back the transactions first, then raise FbError on a
    // server error, the attachment staying open (dropping needs no other attachment to the
    // file). detach does nothing when already detached.
    void detach();
    void drop(); // deletes the database file; needs the owner or SYSDBA

private:
    friend class FbStatement;
    FbDatabase(std::shared_ptr<fbapi::Attachment> attachment, std::string name,
               FbConnectOptions options);
    // Raises FbError for a moved-from object.
    const std::shared_ptr<fbapi::Attachment>& attachment();
    void close(bool drop);

    std::shared_ptr<fbapi::Attachment> attachment_;
    std::string name_;
    FbConnectOptions options_;
};

} // namespace platform
