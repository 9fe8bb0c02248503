#include "platform/FbSqlda.h"

namespace platform::fbapi {

namespace {

std::string name(const char* text, short length) {
    return length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string();
}

} // namespace

void Sqlda::reserve(size_t n) {
    const size_t bytes = XSQLDA_LENGTH(n);
    memory_ = std::make_unique<std::byte[]>(bytes);
    XSQLDA* sqlda = get();
    sqlda->version = SQLDA_VERSION1;
    sqlda->sqln = static_cast<ISC_SHORT>(n);
}

void RowBuffer::attach(Sqlda& sqlda) {
    const size_t count = sqlda.count();
    std::vector<size_t> offsets(count);
    size_t total = 0;
    for (size_t i = 0; i < count; ++i) {
        const XSQLVAR& var = sqlda.var(i);
        size_t size = static_cast<unsigned short>(var.sqllen);
        if ((var.sqltype & ~1) == SQL_VARYING)
            size += sizeof(short);
        offsets[i] = total;
        total += (size + 7) / 8 * 8;
    }
    data_.assign(total / sizeof(std::max_align_t) + 1, std::max_align_t{});
    indicators_.assign(count, 0);
    char* base = reinterpret_cast<char*>(data_.data());
    for (size_t i = 0; i < count; ++i) {
        XSQLVAR& var = sqlda.var(i);
        var.sqldata = base + offsets[i];
        var.sqlind = &indicators_[i];
        var.sqltype |= 1;
    }
}

FbType typeOf(const XSQLVAR& var) {
    switch (var.sqltype & ~1) {
    case SQL_TEXT: return FbType::Char;
    case SQL_VARYING: return FbType::Varchar;
    case SQL_SHORT: return FbType::SmallInt;
    case SQL_LONG: return FbType::Integer;
    case SQL_INT64: return FbType::BigInt;
    case SQL_FLOAT: return FbType::Float;
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return FbType::Double;
    case SQL_TYPE_DATE: return FbType::Date;
    case SQL_TYPE_TIME: return FbType::Time;
    case SQL_TIMESTAMP: return FbType::Timestamp;
    case SQL_BLOB:
    case SQL_QUAD: return FbType::Blob;
    case SQL_ARRAY: return FbType::Array;
    case SQL_BOOLEAN: return FbType::Boolean;
    case SQL_NULL: return FbType::Null;
    }
    throw FbError("unsupported SQL type " + std::to_string(var.sqltype & ~1));
}

FbColumn describe(const XSQLVAR& var) {
    FbColumn column;
    column.name = name(var.sqlname, var.sqlname_length);
    column.alias = name(var.aliasname, var.aliasname_length);
    column.relation = name(var.relname, var.relname_length);
    column.owner = name(var.ownname, var.ownname_length);
    column.type = typeOf(var);
    column.subType = var.sqlsubtype;
    column.length = static_cast<unsigned short>(var.sqllen);
    column.nullable = (var.sqltype & 1) != 0;
    switch (column.type) {
    case FbType::Char:
    case FbType::Varchar: column.charset = var.sqlsubtype & 0xFF; break;
    case FbType::Blob:
        // For BLOBs the scale field carries the character set.
        column.charset = var.sqlsubtype == isc_blob_text ? var.sqlscale : 0;
        break;
    default: column.scale = var.sqlscale; break;
    }
    return column;
}

} // namespace platform::fbapi
