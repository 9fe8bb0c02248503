#pragma once

#include "platform/FbDatabase.h"
#include "platform/FbTransaction.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace fbapi {
struct Scalar;
}

// The SQL types a column or parameter can have on Firebird 3.
enum class FbType {
    Char,     // CHAR: fixed width, padded with blanks
    Varchar,  // VARCHAR
    SmallInt, // also NUMERIC/DECIMAL with a negative scale
    Integer,  // also NUMERIC/DECIMAL with a negative scale
    BigInt,   // also NUMERIC/DECIMAL with a negative scale
    Float,
    Double,
    Date,
    Time,
    Timestamp,
    Blob,
    Array,
    Boolean,
    Null, // a parameter whose type the statement does not fix, as in "? IS NULL"
};

enum class FbStatementType {
    Select,
    SelectForUpdate,
    Insert,
    Update,
    Delete,
    Ddl,
    ExecProcedure, // also INSERT/UPDATE/DELETE ... RETURNING
    StartTransaction,
    Commit,
    Rollback,
    SetGenerator,
    Savepoint,
    GetSegment,
    PutSegment,
};

// How the statement describes one result column or input parameter.
struct FbColumn {
    std::string name;     // the underlying field's name; empty for an expression
    std::string alias;    // the column's label in the result: what value(name) looks up
    std::string relation; // the table or view of the field; empty for an expression
    std::string owner;    // the owner of that relation
    FbType type = FbType::Null;
    int subType = 0; // BLOB sub-type (1 = text); CHAR/VARCHAR: character set + collation << 8
    int scale = 0;   // negative for NUMERIC/DECIMAL: the value is the integer × 10^scale
    int length = 0;  // bytes of the value; for CHAR/VARCHAR the largest length in bytes
    int charset = 0; // character set id of CHAR, VARCHAR and text BLOB values, else 0
    bool nullable = false;
};

struct FbDate {
    int year = 0, month = 0, day = 0;
    friend bool operator==(const FbDate&, const FbDate&) = default;
};
// A time of day; fraction counts 1/10000 seconds, Firebird's own precision.
struct FbTime {
    int hour = 0, minute = 0, second = 0, fraction = 0;
    friend bool operator==(const FbTime&, const FbTime&) = default;
};
struct FbTimestamp {
    FbDate date;
    FbTime time;
    friend bool operator==(const FbTimestamp&, const FbTimestamp&) = default;
};

class FbStatement;

// One column of the current row of a statement. A view: valid until the next fetch, execute,
// prepare or the statement's end. Every read of NULL gives the type's empty value (empty
// text, 0, false); conversions that make no sense raise FbError naming the column.
class FbValue {
public:
    const FbColumn& column() const;
    bool isNull() const;

    // Text: CHAR padded to its declared length, numbers in plain decimal notation ("-12.50"
    // for NUMERIC(9,2)), DATE "2024-01-31", TIME "13:45:00.0000", TIMESTAMP
    // "2024-01-31 13:45:00.0000" as Firebird's tools show them, BOOLEAN "TRUE"/"FALSE". A BLOB
    // gives its whole content: a binary one byte for byte, a text one (like CHAR and VARCHAR)
    // in the connection's character set.
    std::string asString() const;
    // Exact numbers (NUMERIC rounded half away from zero), doubles rounded, numeric texts,
    // booleans as 0/1.
    std::int64_t asInt64() const;
    double asDouble() const;
    // BOOLEAN, or a number that is not 0.
    bool asBool() const;
    FbDate asDate() const;           // DATE or TIMESTAMP
    FbTime asTime() const;           // TIME or TIMESTAMP
    FbTimestamp asTimestamp() const; // TIMESTAMP or DATE (at midnight)

private:
    friend class FbStatement;
    FbValue(const FbStatement& statement, size_t index) : statement_(&statement), index_(index) {}
    fbapi::Scalar scalar() const;

    const FbStatement* statement_;
    size_t index_;
};

// A prepared DSQL statement of one database: input parameters by position ("?" markers; see
// parseNamedParameters for ":NAME" markers), result rows read forward only.
//
//     FbStatement select(db);
//     select.prepare(tr, "select rdb$relation_name from rdb$relations where rdb$system_flag = ?");
//     select.setInt64(0, 0);
//     select.execute(tr);
//     while (select.fetch())
//         names.push_back(select.value("RDB$RELATION_NAME").asString());
//
// Ownership: see FbDatabase. When the database detaches first, the statement is freed on the
// server and raises FbError on further use; destroying it is always safe. A result belongs to
// the transaction it was executed in: it ends when that transaction does.
class FbStatement {
public:
    explicit FbStatement(FbDatabase& database);
    FbStatement(FbStatement&&) noexcept;
    FbStatement& operator=(FbStatement&&) noexcept;
    ~FbStatement();

    // Prepares a new text in the database's SQL dialect; any open result is closed and the
    // parameters become NULL. Raises FbError with the server's message on a bad text.
    void prepare(FbTransaction& transaction, std::string_view sql);
    const std::string& sql() const;
    FbStatementType type() const;
    // Whether execute gives rows to fetch: SELECT, or a procedure call/RETURNING with outputs.
    bool returnsRows() const;

    size_t paramCount() const;
    const FbColumn& param(size_t index) const;
    // Parameter values, kept until the next prepare. The server converts a value to the
    // parameter's type (text to a number or a date, an integer to NUMERIC, ...). setText on a
    // BLOB parameter stores the text as a new blob; setBlob requires a BLOB parameter.
    void setNull(size_t index);
    void setInt64(size_t index, std::int64_t value);
    void setDouble(size_t index, double value);
    void setText(size_t index, std::string_view text);
    void setBlob(size_t index, std::string_view bytes);
    void setBool(size_t index, bool value);
    void setDate(size_t index, const FbDate& value);
    void setTime(size_t index, const FbTime& value);
    void setTimestamp(size_t index, const FbTimestamp& value);

    // Runs the statement with the current parameters. A statement that returns rows then has
    // an open result; fetch moves to each row in turn.
    void execute(FbTransaction& transaction);
    // Moves to the next row; false (and the result closed) after the last one.
    bool fetch();
    // Closes an open result early; the statement stays prepared.
    void close();

    size_t columnCount() const;
    const FbColumn& column(size_t index) const;
    // The first column whose alias matches, ignoring ASCII case.
    std::optional<size_t> findColumn(std::string_view alias) const;
    // A column of the current row; raises FbError when there is no current row, the index is
    // out of range or no column has the alias.
    FbValue value(size_t index) const;
    FbValue value(std::string_view alias) const;

private:
    friend class FbValue;
    struct Impl;
    Impl& impl() const;

    std::unique_ptr<Impl> impl_;
};

// A SQL text with ":NAME" parameter markers turned into "?", and the names in marker order (a
// name used twice appears twice). Markers inside quotes, double-quoted names and comments are
// left alone.
struct FbParsedSql {
    std::string sql;
    std::vector<std::string> names;
};
FbParsedSql parseNamedParameters(std::string_view sql);

} // namespace platform
