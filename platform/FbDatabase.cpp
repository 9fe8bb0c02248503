#include "platform/FbDatabase.h"

#include "platform/FbAttachment.h"

#include <utility>

namespace platform {

namespace {

fbapi::ParameterBlock connectBlock(const FbConnectOptions& options) {
    fbapi::ParameterBlock dpb(isc_dpb_version1);
    // Our texts are UTF-8; without this the client would take them in the system's code page.
    dpb.add(isc_dpb_utf8_filename, std::string_view{});
    if (!options.user.empty())
        dpb.add(isc_dpb_user_name, options.user);
    if (!options.password.empty())
        dpb.add(isc_dpb_password, options.password);
    if (!options.role.empty())
        dpb.add(isc_dpb_sql_role_name, options.role);
    if (!options.charset.empty())
        dpb.add(isc_dpb_lc_ctype, options.charset);
    dpb.add(isc_dpb_sql_dialect, static_cast<std::int32_t>(options.dialect));
    if (options.forcedWrites)
        dpb.add(isc_dpb_force_write, static_cast<std::int32_t>(*options.forcedWrites));
    return dpb;
}

short nameLength(const std::string& name) {
    if (name.size() > 0x7FFF)
        throw FbError("the database name is too long");
    return static_cast<short>(name.size());
}

fbapi::ParameterBlock transactionBlock(const FbTransactionOptions& options) {
    using Isolation = FbTransactionOptions::Isolation;
    fbapi::ParameterBlock tpb(isc_tpb_version3);
    switch (options.isolation) {
    case Isolation::Snapshot: tpb.add(isc_tpb_concurrency); break;
    case Isolation::SnapshotTableStability: tpb.add(isc_tpb_consistency); break;
    case Isolation::ReadCommitted:
        tpb.add(isc_tpb_read_committed);
        tpb.add(isc_tpb_rec_version);
        break;
    }
    tpb.add(options.wait ? isc_tpb_wait : isc_tpb_nowait);
    if (options.wait && options.lockTimeoutSeconds > 0)
        tpb.add(isc_tpb_lock_timeout, static_cast<std::int32_t>(options.lockTimeoutSeconds));
    tpb.add(options.readOnly ? isc_tpb_read : isc_tpb_write);
    return tpb;
}

// The texts of a version item: a count, then each text with a one-byte length.
std::vector<std::string> readTexts(const char* data, int length) {
    std::vector<std::string> texts;
    if (length < 1)
        return texts;
    const int count = static_cast<unsigned char>(data[0]);
    int at = 1;
    for (int i = 0; i < count && at < length; ++i) {
        const int size = static_cast<unsigned char>(data[at]);
        if (at + 1 + size > length)
            break;
        texts.emplace_back(data + at + 1, static_cast<size_t>(size));
        at += 1 + size;
    }
    return texts;
}

void readInfoItem(FbDatabaseInfo& info, char item, const char* data, int length) {
    const auto integer = [&] { return static_cast<int>(fbapi::readInteger(data, length)); };
    switch (item) {
    case isc_info_ods_version: info.odsVersion = integer(); break;
    case isc_info_ods_minor_version: info.odsMinorVersion = integer(); break;
    case isc_info_db_sql_dialect: info.sqlDialect = integer(); break;
    case isc_info_page_size: info.pageSize = integer(); break;
    case isc_info_forced_writes: info.forcedWrites = integer() != 0; break;
    case isc_info_sweep_interval: info.sweepInterval = integer(); break;
    case isc_info_db_read_only: info.readOnly = integer() != 0; break;
    case isc_info_num_buffers: info.numBuffers = integer(); break;
    case isc_info_implementation:
        // A count, then (implementation, class) pairs; the first pair is the database's own.
        if (length >= 3) {
            info.implementationNo = static_cast<unsigned char>(data[1]);
            info.implementationClass = static_cast<unsigned char>(data[2]);
        }
        break;
    case isc_info_firebird_version: info.firebirdVersions = readTexts(data, length); break;
    case isc_info_version: info.versions = readTexts(data, length); break;
    default: break;
    }
}

} // namespace

FbDatabase FbDatabase::attach(std::shared_ptr<FbClient> client, const std::string& name,
                              const FbConnectOptions& options) {
    const fbapi::ParameterBlock dpb = connectBlock(options);
    fbapi::Status status{};
    isc_db_handle handle = 0;
    client->api().isc_attach_database(status.data(), nameLength(name), name.c_str(), &handle,
                                      dpb.size(), dpb.data());
    fbapi::check(client->api(), status);
    return FbDatabase(
        std::make_shared<fbapi::Attachment>(std::move(client), handle, options.dialect), name,
        options);
}

FbDatabase FbDatabase::create(std::shared_ptr<FbClient> client, const std::string& name,
                              const FbConnectOptions& options,
                              const FbCreateOptions& createOptions) {
    fbapi::ParameterBlock dpb = connectBlock(options);
    if (createOptions.pageSize > 0)
        dpb.add(isc_dpb_page_size, static_cast<std::int32_t>(createOptions.pageSize));
    if (!createOptions.defaultCharset.empty())
        dpb.add(isc_dpb_set_db_charset, createOptions.defaultCharset);
    fbapi::Status status{};
    isc_db_handle handle = 0;
    client->api().isc_create_database(status.data(), nameLength(name), name.c_str(), &handle,
                                      dpb.size(), dpb.data(), 0);
    fbapi::check(client->api(), status);
    return FbDatabase(
        std::make_shared<fbapi::Attachment>(std::move(client), handle, options.dialect), name,
        options);
}

FbDatabase::FbDatabase(std::shared_ptr<fbapi::Attachment> attachment, std::string name,
                       FbConnectOptions options)
    : attachment_(std::move(attachment)), name_(std::move(name)), options_(std::move(options)) {}

FbDatabase::FbDatabase(FbDatabase&&) noexcept = default;

FbDatabase& FbDatabase::operator=(FbDatabase&& other) noexcept {
    if (this != &other) {
        try {
            close(false);
        } catch (const FbError&) {
            // The old attachment is gone either way; its error has no one to go to.
        }
        attachment_ = std::move(other.attachment_);
        name_ = std::move(other.name_);
        options_ = std::move(other.options_);
    }
    return *this;
}

FbDatabase::~FbDatabase() {
    try {
        close(false);
    } catch (const FbError&) {
        // A destructor cannot report; the attachment is released all the same.
    }
}

bool FbDatabase::attached() const { return attachment_ && attachment_->attached(); }

const std::shared_ptr<FbClient>& FbDatabase::client() const {
    static const std::shared_ptr<FbClient> none;
    return attachment_ ? attachment_->client() : none;
}

void FbDatabase::close(bool drop) {
    if (attachment_)
        attachment_->close(drop);
}

void FbDatabase::detach() { close(false); }

void FbDatabase::drop() {
    if (!attached())
        throw FbError("the database is not attached");
    close(true);
}

const std::shared_ptr<fbapi::Attachment>& FbDatabase::attachment() {
    if (!attachment_)
        throw FbError("the database is not attached");
    return attachment_;
}

FbDatabaseInfo FbDatabase::info() {
    static const char items[] = {
        isc_info_ods_version,      isc_info_ods_minor_version, isc_info_db_sql_dialect,
        isc_info_page_size,        isc_info_forced_writes,     isc_info_sweep_interval,
        isc_info_db_read_only,     isc_info_num_buffers,       isc_info_implementation,
        isc_info_firebird_version, isc_info_version,           isc_info_end};
    // The reply length is a signed 16-bit number.
    constexpr size_t kLargestReply = 0x7FFF;
    fbapi::Attachment& state = *attachment();
    std::string buffer(1024, '\0');
    for (;;) {
        fbapi::Status status{};
        state.api().isc_database_info(status.data(), state.handle(), sizeof items, items,
                                      static_cast<short>(buffer.size()), buffer.data());
        fbapi::check(state.api(), status);
        FbDatabaseInfo info;
        bool truncated = false;
        for (size_t at = 0; at < buffer.size();) {
            const char item = buffer[at];
            if (item == isc_info_end)
                return info;
            if (item == isc_info_truncated) {
                truncated = true;
                break;
            }
            if (at + 3 > buffer.size())
                break;
            const int length = static_cast<int>(fbapi::readInteger(&buffer[at + 1], 2));
            if (at + 3 + static_cast<size_t>(length) > buffer.size())
                break;
            readInfoItem(info, item, &buffer[at + 3], length);
            at += 3 + static_cast<size_t>(length);
        }
        if (!truncated || buffer.size() == kLargestReply)
            throw FbError("the database information reply is malformed");
        buffer.assign(kLargestReply, '\0');
    }
}

FbTransaction FbDatabase::startTransaction(const FbTransactionOptions& options) {
    fbapi::Attachment& state = *attachment();
    const fbapi::ParameterBlock tpb = transactionBlock(options);
    fbapi::Status status{};
    isc_tr_handle handle = 0;
    state.api().isc_start_transaction(status.data(), &handle, 1, state.handle(),
                                      static_cast<int>(tpb.size()), tpb.data());
    fbapi::check(state.api(), status);
    return FbTransaction(std::make_shared<fbapi::Transaction>(attachment_, handle));
}

} // namespace platform
