#pragma once

// The column object: a table or view column, the data part of a domain, and the parameters of
// procedures and external functions, with its Firebird type text.

#include "engine/dbcClasses.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace dbc {

// Engine data types; only the Firebird ones render on this path, the others keep their ordinals.
enum TDBFieldType : std::uint8_t {
    iftUnknown, iftInteger, iftBigInt, iftFloat, iftDoublePrecision, iftFloat4, iftFloat8,
    iftTinyInt, iftReal, iftDouble, iftNumber, iftLong, iftLongRaw, iftVarchar, iftChar,
    iftLongVarchar, iftVarChar2, iftDate, iftTime, iftTimeStamp, iftTimeTZ, iftTimeStampTZ,
    iftSmallDateTime, iftGraphic, iftVarGraphic, iftGeometry, iftPoint, iftCurve, iftLineString,
    iftSurface, iftPolygon, iftGeometryCollection, iftMultiPoint, iftMultiCurve,
    iftMultiLineString, iftMultiSurface, iftMultiPolygon, iftBlob, iftClob, iftDbClob, iftBinary,
    iftLongBinary, iftNumeric, iftDecimal, iftText, iftNChar, iftNVarChar, iftNVarChar2,
    iftNText, iftNClob, iftSmallInt, iftQuad, iftCstring, iftNationalChar, iftRaw, iftRowID,
    iftURowID, iftMediumInt, iftYear, iftDateTime, iftTinyBlob, iftMediumBlob, iftLongBlob,
    iftTinyText, iftMediumText, iftLongText, iftEnum, iftSet, iftBit, iftVarBit, iftMoney,
    iftSmallMoney, iftGuid, iftVarBinary, iftImage, iftBFile, iftUniqueIdent, iftSysName,
    iftSqlVariant, iftCursor, iftCursorVarying, iftTable, iftXml, iftIntervalYearToMonth,
    iftIntervalDayToSecond, iftSerial, iftBigSerial, iftByteA, iftInterval, iftInt2, iftInt4,
    iftInt8, iftOID, iftBoolean, iftDomain
};

// The engine type of a Firebird type code (RDB$FIELD_TYPE); 35 is TIMESTAMP in dialect 3 and
// DATE before.
TDBFieldType FldTypeFromIbType(int code, int sqlDialect);
// "SMALLINT", "VARCHAR", ...; "? DataType" for a type this engine does not render.
std::string_view FieldTypeName(TDBFieldType type);

class TFldData : public TDbObj {
public:
    explicit TFldData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TFldData"; }

    std::string FDefValue;
    TDBFieldType FieldType = iftUnknown;
    // Storage type of NUMERIC and DECIMAL (SMALLINT, INTEGER, BIGINT, DOUBLE PRECISION).
    TDBFieldType NumericFieldType = iftUnknown;
    std::uint32_t FieldLength = 0;
    std::int32_t CharLength = 0;
    std::int32_t FldType = 0;
    std::int32_t Precision = 0;
    // Number of decimals, positive.
    std::int32_t Scale = 0;
    bool Nullable = true;
    std::uint32_t Position = 0;
    std::int32_t DBPosition = 0;
    // The user domain the column is based on; empty for a column with its own type.
    std::string DomainName;
    // The owning table, view, procedure, function or domain.
    std::string OwnName;
    TDbObj* OwnObj = nullptr;
    std::string CharSet;
    std::string CharSetID;
    std::string Collation;
    std::string CollationID;
    // Check condition of a domain's data, beginning with its parenthesis.
    std::string CheckDef;
    std::int32_t BlobSubType = 0;
    std::string BlobSubTypeIdent;
    std::uint32_t BlobSegSize = 0;
    bool TypeOf = false;
    std::string TypeOfTbl;
    std::string TypeOfFld;
    std::vector<std::pair<std::int32_t, std::int32_t>> ArrayBounds;
    TParamInOutType InOut = ioUnknown;
    bool FncByValue = false;
    bool FncByDescriptor = false;
    // An external-function argument given by its position: RETURNS PARAMETER n; 0 when not.
    std::int32_t FncParameter = 0;
    bool Identity = false;
    // START WITH of an identity column; empty for the default.
    std::string IdentityStart;
    TIndexSortType IndexSortType = idxNoSpec;

    bool Computed() const { return !Body.empty(); }
    // The domain of a domain-based column, found in the column's own collection.
    TDmnData* GetDmnData() const;
    // The default; a value in double quotes comes back in single quotes.
    std::string GetDefValue() const;
    // Data type, length, array bounds, sub-type and segment size, precision and scale.
    std::string FieldTypeDef() const;
    // The full definition without the name: type and the character set, identity, default,
    // NOT NULL, check and collation clauses.
    std::string TypeDef() const;
    // Quoted name and TypeDef; TypeDef alone for a nameless column (a domain's data).
    std::string Def() const override;

private:
    bool IsProcedureParameter() const;
    bool IsFunctionArgument() const;
    const TIBCompareOptions* CompareOptions() const;
};

// Appends a new column or parameter named name to list, owned by owner (a table, view or
// procedure), at the next position.
TFldData& AddOwnedField(TDbObj& owner, ObjList<TFldData>& list, std::string name,
                        TDbObject kind = dboField);

} // namespace dbc
