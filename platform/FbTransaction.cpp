#include "platform/FbTransaction.h"

#include "platform/FbAttachment.h"

#include <string>
#include <utility>

namespace platform {

FbTransaction::FbTransaction(std::shared_ptr<fbapi::Transaction> state)
    : state_(std::move(state)) {}

FbTransaction::FbTransaction(FbTransaction&&) noexcept = default;
FbTransaction& FbTransaction::operator=(FbTransaction&&) noexcept = default;
FbTransaction::~FbTransaction() = default;

bool FbTransaction::active() const { return state_ && state_->active(); }

const std::shared_ptr<fbapi::Transaction>& FbTransaction::state() {
    if (!state_)
        throw FbError("the transaction is not active");
    return state_;
}

void FbTransaction::commit() { state()->commit(); }

void FbTransaction::rollback() { state()->rollback(); }

void FbTransaction::executeImmediate(std::string_view sql) {
    fbapi::Attachment& attachment = state()->attachment();
    const std::string text(sql);
    const unsigned short length = fbapi::sqlLength(text);
    fbapi::Status status{};
    attachment.api().isc_dsql_execute_immediate(
        status.data(), attachment.handle(), state()->handle(), length, text.c_str(),
        static_cast<unsigned short>(attachment.dialect()), nullptr);
    fbapi::check(attachment.api(), status);
}

} // namespace platform
