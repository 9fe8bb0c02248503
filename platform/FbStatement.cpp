#include "platform/FbStatement.h"

#include "platform/FbAttachment.h"
#include "platform/FbBlob.h"
#include "platform/FbDateTime.h"
#include "platform/FbScalar.h"
#include "platform/FbSqlda.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <variant>

namespace platform {

namespace {

struct TextValue {
    std::string text;
};
struct BlobValue {
    std::string bytes;
};
using ParamValue = std::variant<std::monostate, std::int64_t, double, TextValue, BlobValue, bool,
                                FbDate, FbTime, FbTimestamp>;

FbStatementType statementType(std::uint32_t code) {
    switch (code) {
    case isc_info_sql_stmt_select: return FbStatementType::Select;
    case isc_info_sql_stmt_select_for_upd: return FbStatementType::SelectForUpdate;
    case isc_info_sql_stmt_insert: return FbStatementType::Insert;
    case isc_info_sql_stmt_update: return FbStatementType::Update;
    case isc_info_sql_stmt_delete: return FbStatementType::Delete;
    case isc_info_sql_stmt_ddl: return FbStatementType::Ddl;
    case isc_info_sql_stmt_exec_procedure: return FbStatementType::ExecProcedure;
    case isc_info_sql_stmt_start_trans: return FbStatementType::StartTransaction;
    case isc_info_sql_stmt_commit: return FbStatementType::Commit;
    case isc_info_sql_stmt_rollback: return FbStatementType::Rollback;
    case isc_info_sql_stmt_set_generator: return FbStatementType::SetGenerator;
    case isc_info_sql_stmt_savepoint: return FbStatementType::Savepoint;
    case isc_info_sql_stmt_get_segment: return FbStatementType::GetSegment;
    case isc_info_sql_stmt_put_segment: return FbStatementType::PutSegment;
    }
    throw FbError("unknown statement type " + std::to_string(code));
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// Input values laid out for one execution: each variable points into this storage.
class ParamBuffer {
public:
    // Zeroed room for a value of the given size, aligned for any type.
    char* reserve(size_t size) {
        chunks_.emplace_back((size + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t) + 1);
        return reinterpret_cast<char*>(chunks_.back().data());
    }

private:
    std::vector<std::vector<std::max_align_t>> chunks_;
};

} // namespace

struct FbStatement::Impl final : fbapi::Dependent {
    explicit Impl(std::shared_ptr<fbapi::Attachment> owner) : attachment(std::move(owner)) {
        fbapi::Status status{};
        api().isc_dsql_allocate_statement(status.data(), attachment->handle(), &handle);
        fbapi::check(api(), status);
        attachment->addStatement(this);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() {
        release();
        attachment->remove(this);
    }

    void release() noexcept override {
        if (handle == 0)
            return;
        fbapi::Status ignored{};
        if (attachment->attached())
            api().isc_dsql_free_statement(ignored.data(), &handle, DSQL_drop);
        handle = 0;
        prepared = false;
        closeResult();
    }

    const fbapi::Api& api() const { return attachment->api(); }

    isc_stmt_handle* statement() {
        if (handle == 0)
            throw FbError("the statement was freed: its database is no longer attached");
        return &handle;
    }

    void requirePrepared() const {
        if (!prepared)
            throw FbError("the statement is not prepared");
    }

    fbapi::Transaction& ownTransaction(fbapi::Transaction& transaction) {
        if (&transaction.attachment() != attachment.get())
            throw FbError("the transaction belongs to another database");
        return transaction;
    }

    void prepare(fbapi::Transaction& transaction, std::string_view text);
    void describe(fbapi::Sqlda& sqlda, bool input);
    FbStatementType queryType();
    ParamBuffer bindInputs(fbapi::Transaction& transaction);
    void execute(const std::shared_ptr<fbapi::Transaction>& transaction);
    bool fetch();
    void closeResult();

    void setParam(size_t index, ParamValue value) {
        requirePrepared();
        if (index >= params.size())
            throw FbError("parameter index " + std::to_string(index) + " is out of range (" +
                          std::to_string(params.size()) + " parameters)");
        paramValues[index] = std::move(value);
    }

    size_t columnIndex(size_t index) const {
        if (!onRow)
            throw FbError("there is no current row");
        if (index >= columns.size())
            throw FbError("column index " + std::to_string(index) + " is out of range (" +
                          std::to_string(columns.size()) + " columns)");
        return index;
    }

    fbapi::Scalar scalar(size_t index) const { return fbapi::read(output.var(index)); }
    std::string blobContent(const fbapi::Scalar& value);

    std::shared_ptr<fbapi::Attachment> attachment;
    isc_stmt_handle handle = 0;
    std::string sql;
    bool prepared = false;
    FbStatementType type = FbStatementType::Ddl;

    fbapi::Sqlda input;
    std::vector<XSQLVAR> describedInputs; // as described; bindInputs rewrites `input` from them
    std::vector<FbColumn> params;
    std::vector<ParamValue> paramValues;

    fbapi::Sqlda output;
    fbapi::RowBuffer row;
    std::vector<FbColumn> columns;

    enum class Result { None, Cursor, Singleton };
    Result result = Result::None;
    bool singletonPending = false; // a procedure's output row not yet fetched
    bool onRow = false;
    // The transaction the open result belongs to; weak, as the result must not keep it alive.
    std::weak_ptr<fbapi::Transaction> resultTransaction;
};

void FbStatement::Impl::describe(fbapi::Sqlda& sqlda, bool input) {
    const auto call = [&] {
        fbapi::Status status{};
        if (input)
            api().isc_dsql_describe_bind(status.data(), statement(), SQLDA_VERSION1, sqlda.get());
        else
            api().isc_dsql_describe(status.data(), statement(), SQLDA_VERSION1, sqlda.get());
        fbapi::check(api(), status);
    };
    call();
    if (sqlda.tooSmall()) {
        sqlda.reserve(sqlda.count());
        call();
    }
}

FbStatementType FbStatement::Impl::queryType() {
    const char items[] = {isc_info_sql_stmt_type};
    char reply[16] = {};
    fbapi::Status status{};
    api().isc_dsql_sql_info(status.data(), statement(), sizeof items, items, sizeof reply, reply);
    fbapi::check(api(), status);
    if (reply[0] != isc_info_sql_stmt_type)
        throw FbError("the server did not report the statement type");
    const int length = static_cast<int>(fbapi::readInteger(reply + 1, 2));
    return statementType(fbapi::readInteger(reply + 3, std::min(length, 4)));
}

void FbStatement::Impl::prepare(fbapi::Transaction& transaction, std::string_view text) {
    fbapi::Transaction& state = ownTransaction(transaction);
    closeResult();
    prepared = false;
    columns.clear();
    params.clear();
    paramValues.clear();
    sql = text;
    const unsigned short length = fbapi::sqlLength(sql);
    fbapi::Status status{};
    api().isc_dsql_prepare(status.data(), state.handle(), statement(), length, sql.c_str(),
                           static_cast<unsigned short>(attachment->dialect()), nullptr);
    fbapi::check(api(), status);
    type = queryType();

    describe(output, false);
    for (size_t i = 0; i < output.count(); ++i)
        columns.push_back(fbapi::describe(output.var(i)));
    row.attach(output);

    describe(input, true);
    describedInputs.assign(input.get()->sqlvar, input.get()->sqlvar + input.count());
    for (const XSQLVAR& var : describedInputs)
        params.push_back(fbapi::describe(var));
    paramValues.assign(params.size(), std::monostate{});
    prepared = true;
}

namespace {

// Writes one parameter value into its input variable, in the type of the value: the server
// converts it to the parameter's own type.
struct InputBinder {
    const fbapi::Api& api;
    fbapi::Attachment& attachment;
    fbapi::Transaction& transaction;
    const XSQLVAR& described;
    XSQLVAR& var;
    ParamBuffer& buffer;
    size_t index;

    char* use(short type, size_t size) {
        var.sqltype = static_cast<short>(type | 1);
        var.sqlscale = 0;
        var.sqlsubtype = 0;
        var.sqllen = static_cast<short>(size);
        var.sqldata = buffer.reserve(size);
        return var.sqldata;
    }
    template <typename T> void store(short type, T value) {
        std::memcpy(use(type, sizeof value), &value, sizeof value);
    }
    bool describedBlob() const { return (described.sqltype & ~1) == SQL_BLOB; }
    void blob(std::string_view bytes) {
        store(SQL_BLOB, fbapi::writeBlob(api, attachment.handle(), transaction.handle(), bytes));
        var.sqlsubtype = described.sqlsubtype;
        var.sqlscale = described.sqlscale;
    }

    void operator()(std::monostate) {
        size_t size = static_cast<unsigned short>(described.sqllen);
        if ((described.sqltype & ~1) == SQL_VARYING)
            size += sizeof(short);
        var.sqltype = static_cast<short>(described.sqltype | 1);
        var.sqldata = buffer.reserve(size);
        *var.sqlind = -1;
    }
    void operator()(std::int64_t value) { store<ISC_INT64>(SQL_INT64, value); }
    void operator()(double value) { store(SQL_DOUBLE, value); }
    void operator()(bool value) { store<FB_BOOLEAN>(SQL_BOOLEAN, value ? FB_TRUE : FB_FALSE); }
    void operator()(const FbDate& value) { store(SQL_TYPE_DATE, fbapi::encodeDate(value)); }
    void operator()(const FbTime& value) { store(SQL_TYPE_TIME, fbapi::encodeTime(value)); }
    void operator()(const FbTimestamp& value) {
        store(SQL_TIMESTAMP,
              ISC_TIMESTAMP{fbapi::encodeDate(value.date), fbapi::encodeTime(value.time)});
    }
    void operator()(const TextValue& value) {
        if (describedBlob())
            return blob(value.text);
        if (value.text.size() > 0x7FFF)
            throw FbError("parameter " + std::to_string(index) +
                          ": a text of more than 32767 bytes fits a BLOB parameter only");
        std::memcpy(use(SQL_TEXT, value.text.size()), value.text.data(), value.text.size());
        // A text keeps the character set of a text parameter; for others it is just digits.
        const short type = described.sqltype & ~1;
        if (type == SQL_TEXT || type == SQL_VARYING)
            var.sqlsubtype = described.sqlsubtype;
    }
    void operator()(const BlobValue& value) {
        if (!describedBlob())
            throw FbError("parameter " + std::to_string(index) + " is not a BLOB");
        blob(value.bytes);
    }
};

} // namespace

ParamBuffer FbStatement::Impl::bindInputs(fbapi::Transaction& transaction) {
    ParamBuffer buffer;
    for (size_t i = 0; i < describedInputs.size(); ++i) {
        XSQLVAR& var = input.var(i);
        var = describedInputs[i];
        var.sqlind = reinterpret_cast<short*>(buffer.reserve(sizeof(short)));
        std::visit(InputBinder{api(), *attachment, transaction, describedInputs[i], var, buffer, i},
                   paramValues[i]);
    }
    return buffer;
}

void FbStatement::Impl::execute(const std::shared_ptr<fbapi::Transaction>& transaction) {
    requirePrepared();
    fbapi::Transaction& state = ownTransaction(*transaction);
    closeResult();
    const ParamBuffer buffer = bindInputs(state);
    XSQLDA* in = params.empty() ? nullptr : input.get();
    const bool singleton = type == FbStatementType::ExecProcedure && !columns.empty();
    fbapi::Status status{};
    if (singleton)
        api().isc_dsql_execute2(status.data(), state.handle(), statement(), SQLDA_VERSION1, in,
                                output.get());
    else
        api().isc_dsql_execute(status.data(), state.handle(), statement(), SQLDA_VERSION1, in);
    fbapi::check(api(), status);
    if (singleton) {
        result = Result::Singleton;
        singletonPending = true;
    } else if (type == FbStatementType::Select || type == FbStatementType::SelectForUpdate) {
        result = Result::Cursor;
    }
    resultTransaction = transaction;
}

bool FbStatement::Impl::fetch() {
    statement(); // a freed statement has no result to go on with
    if (result == Result::Singleton) {
        onRow = std::exchange(singletonPending, false);
        if (!onRow)
            closeResult();
        return onRow;
    }
    onRow = false;
    if (result != Result::Cursor)
        return false;
    fbapi::Status status{};
    const ISC_STATUS code =
        api().isc_dsql_fetch(status.data(), statement(), SQLDA_VERSION1, output.get());
    if (code == 100) {
        closeResult();
        return false;
    }
    fbapi::check(api(), status);
    onRow = true;
    return true;
}

void FbStatement::Impl::closeResult() {
    if (result == Result::Cursor && handle != 0 && attachment->attached()) {
        // The cursor may already be closed by the end of its transaction; nothing to report.
        fbapi::Status ignored{};
        api().isc_dsql_free_statement(ignored.data(), &handle, DSQL_close);
    }
    result = Result::None;
    singletonPending = false;
    onRow = false;
    resultTransaction.reset();
}

std::string FbStatement::Impl::blobContent(const fbapi::Scalar& value) {
    const std::shared_ptr<fbapi::Transaction> transaction = resultTransaction.lock();
    if (!transaction || !transaction->active())
        throw FbError("the transaction of this result has ended: its blobs cannot be read");
    return fbapi::readBlob(api(), attachment->handle(), transaction->handle(), value.blob);
}

// FbStatement

FbStatement::FbStatement(FbDatabase& database)
    : impl_(std::make_unique<Impl>(database.attachment())) {}

FbStatement::FbStatement(FbStatement&&) noexcept = default;
FbStatement& FbStatement::operator=(FbStatement&&) noexcept = default;
FbStatement::~FbStatement() = default;

FbStatement::Impl& FbStatement::impl() const {
    if (!impl_)
        throw FbError("the statement was moved away");
    return *impl_;
}

void FbStatement::prepare(FbTransaction& transaction, std::string_view sql) {
    impl().prepare(*transaction.state(), sql);
}

const std::string& FbStatement::sql() const { return impl().sql; }

FbStatementType FbStatement::type() const {
    impl().requirePrepared();
    return impl_->type;
}

bool FbStatement::returnsRows() const {
    const FbStatementType kind = type();
    return kind == FbStatementType::Select || kind == FbStatementType::SelectForUpdate ||
           (kind == FbStatementType::ExecProcedure && !impl_->columns.empty());
}

size_t FbStatement::paramCount() const { return impl().params.size(); }

const FbColumn& FbStatement::param(size_t index) const {
    if (index >= paramCount())
        throw FbError("parameter index " + std::to_string(index) + " is out of range");
    return impl_->params[index];
}

void FbStatement::setNull(size_t index) { impl().setParam(index, std::monostate{}); }
void FbStatement::setInt64(size_t index, std::int64_t value) { impl().setParam(index, value); }
void FbStatement::setDouble(size_t index, double value) { impl().setParam(index, value); }
void FbStatement::setText(size_t index, std::string_view text) {
    impl().setParam(index, TextValue{std::string(text)});
}
void FbStatement::setBlob(size_t index, std::string_view bytes) {
    impl().setParam(index, BlobValue{std::string(bytes)});
}
void FbStatement::setBool(size_t index, bool value) { impl().setParam(index, value); }
void FbStatement::setDate(size_t index, const FbDate& value) { impl().setParam(index, value); }
void FbStatement::setTime(size_t index, const FbTime& value) { impl().setParam(index, value); }
void FbStatement::setTimestamp(size_t index, const FbTimestamp& value) {
    impl().setParam(index, value);
}

void FbStatement::execute(FbTransaction& transaction) { impl().execute(transaction.state()); }

bool FbStatement::fetch() { return impl().fetch(); }

void FbStatement::close() { impl().closeResult(); }

size_t FbStatement::columnCount() const { return impl().columns.size(); }

const FbColumn& FbStatement::column(size_t index) const {
    if (index >= columnCount())
        throw FbError("column index " + std::to_string(index) + " is out of range");
    return impl_->columns[index];
}

std::optional<size_t> FbStatement::findColumn(std::string_view alias) const {
    const std::vector<FbColumn>& columns = impl().columns;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (equalsIgnoringCase(columns[i].alias, alias))
            return i;
    }
    return std::nullopt;
}

FbValue FbStatement::value(size_t index) const { return FbValue(*this, impl().columnIndex(index)); }

FbValue FbStatement::value(std::string_view alias) const {
    const std::optional<size_t> index = findColumn(alias);
    if (!index)
        throw FbError("the result has no column " + std::string(alias));
    return value(*index);
}

// FbValue

const FbColumn& FbValue::column() const { return statement_->column(index_); }

fbapi::Scalar FbValue::scalar() const {
    FbStatement::Impl& impl = statement_->impl();
    return impl.scalar(impl.columnIndex(index_));
}

bool FbValue::isNull() const { return scalar().kind == fbapi::Scalar::Kind::Null; }

std::string FbValue::asString() const {
    const fbapi::Scalar value = scalar();
    if (value.kind == fbapi::Scalar::Kind::Blob)
        return statement_->impl().blobContent(value);
    return fbapi::toText(value, column().alias);
}

std::int64_t FbValue::asInt64() const { return fbapi::toInt64(scalar(), column().alias); }
double FbValue::asDouble() const { return fbapi::toDouble(scalar(), column().alias); }
bool FbValue::asBool() const { return fbapi::toBool(scalar(), column().alias); }
FbDate FbValue::asDate() const { return fbapi::toDate(scalar(), column().alias); }
FbTime FbValue::asTime() const { return fbapi::toTime(scalar(), column().alias); }
FbTimestamp FbValue::asTimestamp() const { return fbapi::toTimestamp(scalar(), column().alias); }

} // namespace platform
