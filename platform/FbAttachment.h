#pragma once

// Internal to the Firebird access layer: the state an attachment shares with its transactions
// and statements. The attachment keeps a list of them so that detaching frees every statement
// and rolls back every transaction first, whatever order the caller's objects go away in.

#include "platform/FbApi.h"
#include "platform/FbClient.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::fbapi {

// A transaction or statement of an attachment: gives back its server resources when the
// attachment detaches before it is destroyed.
class Dependent {
public:
    virtual void release() noexcept = 0;

protected:
    ~Dependent() = default;
};

class Attachment {
public:
    Attachment(std::shared_ptr<FbClient> client, isc_db_handle handle, int dialect);
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    const Api& api() const { return client_->api(); }
    const std::shared_ptr<FbClient>& client() const { return client_; }
    int dialect() const { return dialect_; }
    bool attached() const { return handle_ != 0; }

    // The handle for an ISC call; raises FbError when the attachment is already closed.
    isc_db_handle* handle();

    void addStatement(Dependent* statement) { statements_.push_back(statement); }
    void addTransaction(Dependent* transaction) { transactions_.push_back(transaction); }
    void remove(Dependent* dependent);

    // Frees the statements, rolls back the transactions, then detaches (or drops the database
    // with drop true). Raises on a server error, the attachment then staying open.
    void close(bool drop);

private:
    std::shared_ptr<FbClient> client_;
    isc_db_handle handle_;
    int dialect_;
    std::vector<Dependent*> statements_;
    std::vector<Dependent*> transactions_;
};

// The state of one started transaction, shared with the statements whose open results belong
// to it (they hold it weakly, to read blobs of the current row).
class Transaction final : public Dependent {
public:
    Transaction(std::shared_ptr<Attachment> attachment, isc_tr_handle handle);
    ~Transaction();

    Attachment& attachment() { return *attachment_; }
    bool active() const { return handle_ != 0; }
    // The handle for an ISC call; raises FbError when the transaction has ended.
    isc_tr_handle* handle();

    void commit();
    void rollback();
    void release() noexcept override;

private:
    std::shared_ptr<Attachment> attachment_;
    isc_tr_handle handle_;
};

} // namespace platform::fbapi
