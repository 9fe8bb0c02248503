#include "engine/dbcCompColumn.h"

#include "engine/dbcComp_Dmn.h"
#include "engine/dbcComp_Fnc.h"
#include "engine/dbcComp_Prc.h"

namespace dbc {

TDBFieldType FldTypeFromIbType(int code, int sqlDialect) {
    switch (code) {
    case 7: return iftSmallInt;
    case 8: return iftInteger;
    case 9: return iftQuad;
    case 10: return iftFloat;
    case 12: return iftDate;
    case 13: return iftTime;
    case 14: return iftChar;
    case 16: return iftBigInt;
    case 17:
    case 23: return iftBoolean;
    case 27: return iftDoublePrecision;
    case 35: return sqlDialect == 3 ? iftTimeStamp : iftDate;
    case 37: return iftVarchar;
    case 40: return iftCstring;
    case 261: return iftBlob;
    default: return iftUnknown;
    }
}

std::string_view FieldTypeName(TDBFieldType type) {
    switch (type) {
    case iftSmallInt: return "SMALLINT";
    case iftInteger: return "INTEGER";
    case iftQuad: return "QUAD";
    case iftFloat: return "FLOAT";
    case iftDate: return "DATE";
    case iftTime: return "TIME";
    case iftChar: return "CHAR";
    case iftBigInt: return "BIGINT";
    case iftBoolean: return "BOOLEAN";
    case iftDoublePrecision: return "DOUBLE PRECISION";
    case iftTimeStamp: return "TIMESTAMP";
    case iftVarchar: return "VARCHAR";
    case iftCstring: return "CSTRING";
    case iftBlob: return "BLOB";
    case iftNumeric: return "NUMERIC";
    case iftDecimal: return "DECIMAL";
    default: return "? DataType";
    }
}

TFldData::TFldData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboField); }

TDmnData* TFldData::GetDmnData() const {
    return Objs() && !DomainName.empty() ? Objs()->GetDomain(DomainName) : nullptr;
}

std::string TFldData::GetDefValue() const {
    if (FDefValue.size() < 2 || FDefValue.front() != '"' || FDefValue.back() != '"')
        return FDefValue;
    return ScriptQuotedStr(std::string_view(FDefValue).substr(1, FDefValue.size() - 2));
}

bool TFldData::IsProcedureParameter() const { return dynamic_cast<const TPrcData*>(OwnObj); }
bool TFldData::IsFunctionArgument() const { return dynamic_cast<const TUdfData*>(OwnObj); }

const TIBCompareOptions* TFldData::CompareOptions() const {
    const TIBServerOptions* options = IBServerOptions();
    return options ? &options->IBCompareOptions : nullptr;
}

std::string TFldData::FieldTypeDef() const {
    if (FncParameter > 0)
        return "PARAMETER " + std::to_string(FncParameter);
    if (FieldType == iftDomain) {
        std::string text = TypeOf ? "TYPE OF " : "";
        if (!TypeOfTbl.empty() && !TypeOfFld.empty())
            return text + "COLUMN " + QuoteIdent(TypeOfTbl) + "." + QuoteIdent(TypeOfFld);
        return text + QuoteIdent(DomainName);
    }
    if (Computed())
        return "COMPUTED BY " + Body;

    // Outside dialect 3 there are no TIME and TIMESTAMP types, only DATE.
    const TIBServerOptions* options = IBServerOptions();
    const bool dialect3 = !options || options->SQLDialect == 3;
    const bool timeType = FieldType == iftTime || FieldType == iftTimeStamp;
    std::string text(FieldTypeName(!dialect3 && timeType ? iftDate : FieldType));
    const bool fixedChar = FieldType == iftChar || FieldType == iftNChar;
    const bool varChar = FieldType == iftVarchar || FieldType == iftNVarChar || FieldType == iftCstring;
    if ((fixedChar && CharLength > 1) || (varChar && CharLength > 0))
        text += "(" + std::to_string(CharLength) + ")";
    if (!ArrayBounds.empty()) {
        text += " [";
        for (std::size_t i = 0; i < ArrayBounds.size(); ++i) {
            if (i > 0)
                text += ", ";
            text += std::to_string(ArrayBounds[i].first) + ":" + std::to_string(ArrayBounds[i].second);
        }
        text += "]";
    }
    if (FieldType == iftBlob) {
        if (BlobSubType != 0)
            text += " SUB_TYPE " + std::to_string(BlobSubType);
        if (BlobSegSize != 0 && BlobSegSize != 80 && !IsFunctionArgument())
            text += " SEGMENT SIZE " + std::to_string(BlobSegSize);
    }
    if ((FieldType == iftNumber || FieldType == iftNumeric || FieldType == iftDecimal) && Precision > 0) {
        text += "(" + std::to_string(Precision);
        if (Scale != 0)
            text += "," + std::to_string(Scale);
        text += ")";
    }
    return text;
}

std::string TFldData::TypeDef() const {
    std::string text = FieldTypeDef();
    if (FncParameter > 0)
        return text;
    if (FncByDescriptor)
        text += " BY DESCRIPTOR";
    if (FncByValue)
        text += " BY VALUE";

    const TIBCompareOptions* compare = CompareOptions();
    const bool charsetCompare = compare && compare->FldCharsetCompare;
    const TIBServerOptions* options = IBServerOptions();
    const std::string databaseCharSet = options ? options->DBCharSet() : std::string();
    if (!CharSet.empty() && DomainName.empty() && !Computed() && charsetCompare &&
        (CharSet != databaseCharSet || !Collation.empty()))
        text += " CHARACTER SET " + CharSet;
    if (Identity && options && options->SQLServerVersion == st_Firebird_30) {
        text += " GENERATED BY DEFAULT AS IDENTITY";
        if (!IdentityStart.empty())
            text += " (START WITH " + IdentityStart + ")";
    }

    const std::string defValue = GetDefValue();
    if (!defValue.empty()) {
        if (IsProcedureParameter()) {
            text += " = " + defValue;
        } else {
            const TDmnData* domain = GetDmnData();
            const std::string domainDefault = domain ? domain->Data().GetDefValue() : std::string();
            if (defValue != domainDefault || TypeOf)
                text += " DEFAULT " + defValue;
        }
    }
    if (!Nullable && !Identity)
        text += " NOT NULL";
    if (!CheckDef.empty())
        text += " CHECK" + CheckDef;
    if (charsetCompare && !Collation.empty())
        text += " COLLATE " + Collation;
    return text;
}

std::string TFldData::Def() const {
    if (ObjName().empty())
        return TypeDef();
    return ObjFullName() + " " + TypeDef();
}

TFldData& AddOwnedField(TDbObj& owner, ObjList<TFldData>& list, std::string name,
                        TDbObject kind) {
    auto field = std::make_unique<TFldData>(owner.Objs());
    field->SetObjName(name);
    field->SetObjType(kind);
    field->OwnName = owner.ObjName();
    field->OwnObj = &owner;
    field->Position = static_cast<std::uint32_t>(list.size());
    TFldData& result = *field;
    list.add(std::move(name), std::move(field));
    return result;
}

} // namespace dbc
