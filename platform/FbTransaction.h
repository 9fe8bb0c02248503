#pragma once

#include <memory>
#include <string_view>

namespace platform {

namespace fbapi {
class Transaction;
}

struct FbTransactionOptions {
    enum class Isolation {
        Snapshot,               // "concurrency": a stable view from the start
        SnapshotTableStability, // "consistency": snapshot plus table locks
        ReadCommitted,          // sees committed changes of others (record versions)
    };
    Isolation isolation = Isolation::Snapshot;
    bool wait = true;           // wait for conflicting locks instead of failing at once
    int lockTimeoutSeconds = 0; // with wait: how long at most; 0 waits as long as it takes
    bool readOnly = false;
};

// One started transaction of an FbDatabase (FbDatabase::startTransaction). It ends with commit
// or rollback; destroying it while still active rolls it back. When its database detaches
// first, the database rolls it back and the object becomes inactive. Movable, not copyable.
class FbTransaction {
public:
    FbTransaction(FbTransaction&&) noexcept;
    FbTransaction& operator=(FbTransaction&&) noexcept;
    ~FbTransaction();

    bool active() const;
    // Both raise FbError on a server error or when the transaction is no longer active.
    void commit();
    void rollback();

    // Runs one SQL text that returns no rows, in the database's SQL dialect; raises FbError
    // with the server's message when the server rejects it.
    void executeImmediate(std::string_view sql);

private:
    friend class FbDatabase;
    friend class FbStatement;
    explicit FbTransaction(std::shared_ptr<fbapi::Transaction> state);
    // Raises FbError for a moved-from object.
    const std::shared_ptr<fbapi::Transaction>& state();

    std::shared_ptr<fbapi::Transaction> state_;
};

} // namespace platform
