#include "platform/FbAttachment.h"

#include <algorithm>
#include <utility>

namespace platform::fbapi {

Attachment::Attachment(std::shared_ptr<FbClient> client, isc_db_handle handle, int dialect)
    : client_(std::move(client)), handle_(handle), dialect_(dialect) {}

isc_db_handle* Attachment::handle() {
    if (!attached())
        throw FbError("the database is not attached");
    return &handle_;
}

void Attachment::remove(Dependent* dependent) {
    std::erase(statements_, dependent);
    std::erase(transactions_, dependent);
}

void Attachment::close(bool drop) {
    if (!attached())
        return;
    // Statements before transactions: a statement may hold a cursor in one of them.
    for (auto* list : {&statements_, &transactions_}) {
        for (Dependent* dependent : std::exchange(*list, {}))
            dependent->release();
    }
    // Success clears the handle; after a failure the attachment is still there to try again.
    Status status{};
    if (drop)
        api().isc_drop_database(status.data(), &handle_);
    else
        api().isc_detach_database(status.data(), &handle_);
    check(api(), status);
}

Transaction::Transaction(std::shared_ptr<Attachment> attachment, isc_tr_handle handle)
    : attachment_(std::move(attachment)), handle_(handle) {
    attachment_->addTransaction(this);
}

Transaction::~Transaction() {
    release();
    attachment_->remove(this);
}

isc_tr_handle* Transaction::handle() {
    if (!active())
        throw FbError("the transaction is not active");
    return &handle_;
}

void Transaction::commit() {
    Status status{};
    attachment_->api().isc_commit_transaction(status.data(), handle());
    check(attachment_->api(), status);
}

void Transaction::rollback() {
    Status status{};
    attachment_->api().isc_rollback_transaction(status.data(), handle());
    check(attachment_->api(), status);
}

void Transaction::release() noexcept {
    if (!active())
        return;
    Status status{};
    attachment_->api().isc_rollback_transaction(status.data(), &handle_);
    handle_ = 0;
}

} // namespace platform::fbapi
