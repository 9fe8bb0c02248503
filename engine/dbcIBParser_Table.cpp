// The Firebird script parser: tables, columns and their data types, constraints, indices and
// domains.

#include "engine/dbcIBParser.h"

#include "engine/dbcComp_Ctr.h"
#include "engine/dbcComp_Dmn.h"
#include "engine/dbcComp_Idx.h"
#include "engine/dbcComp_Tbl.h"

#include <algorithm>
#include <cstdint>

namespace dbc {

void TIbParser::ForgetColumns(ObjList<TFldData>& columns) {
    if (TCustomObjs* objs = Objs())
        for (const auto& entry : columns)
            objs->RemoveDepend(entry.object.get());
    columns.clear();
}

std::string TIbParser::ParseExpressionAfter(TIbSymbol optionalWord) {
    const TScanPosition before = SavePosition();
    GetSy();
    if (!Is(optionalWord))
        RestorePosition(before); // the expression begins right after the current symbol
    std::string text = GetExpr();
    GetSy();
    return text;
}

std::int64_t TIbParser::ParseSignedInteger() {
    bool negative = false;
    if (Sy() == sy_Minus || Sy() == sy_Plus) {
        negative = Sy() == sy_Minus;
        GetSy();
    }
    TestSy(sy_Integer);
    if (Sy() != sy_Integer)
        return 0;
    // Negated in unsigned arithmetic, which is defined for every value a literal can give.
    const auto magnitude = static_cast<std::uint64_t>(IntVal());
    const auto value = static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
    GetSy();
    return value;
}

std::int32_t TIbParser::ParseSignedInt32() {
    const std::int64_t value = ParseSignedInteger();
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// ---------------------------------------------------------------------------------------------
// Tables

void TIbParser::ParseCreateTable(Verb verb, bool globalTemporary) {
    GetSy();
    const std::string name = GetName();
    TableName = name;

    // RECREATE replaces the definition of a table the collections already hold.
    TTblData* table = verb == Verb::Recreate && Objs() ? Objs()->GetTable(name) : nullptr;
    std::unique_ptr<TTblData> created;
    if (table) {
        ForgetColumns(table->Flds);
        table->ExternalFile.clear();
        table->TblOnCommit = tocUnknown;
    } else {
        created = std::make_unique<TTblData>(Objs());
        created->SetObjName(name);
        table = created.get();
    }
    table->GlobalTemporary = globalTemporary;

    if (Is(syEXTERNAL)) {
        GetSy();
        if (Is(syFILE))
            GetSy();
        TestSy(sy_String);
        table->ExternalFile = StrVal();
        GetSy();
    }
    TestAndGetSy(sy_LParen);
    while (Sy() != sy_Term && Sy() != sy_EOF) {
        if (StartsConstraint())
            ParseConstraint(name, nullptr);
        else
            ParseColumn(*table);
        if (Sy() != sy_Comma)
            break;
        GetSy();
    }
    FieldName.clear();
    TestAndGetSy(sy_RParen);
    if (Is(syON)) {
        GetSy();
        TestAndGetWord(syCOMMIT);
        if (Is(syDELETE) || Is(syPRESERVE)) {
            table->TblOnCommit = Is(syDELETE) ? tocDelete : tocPreserve;
            GetSy();
            if (Is(syROWS))
                GetSy();
            else
                ErrMsg("Must be: DELETE ROWS / PRESERVE ROWS.");
        } else {
            ErrMsg("Must be: DELETE ROWS / PRESERVE ROWS.");
        }
    }
    if (created)
        AddObj(std::move(created));
    CloseStatement(stStatement, name, dboTable, odbCreate);
}

void TIbParser::ParseColumn(TTblData& table) {
    const std::string name = GetName();
    FieldName = name;
    TFldData& column = table.AddFld(name);
    ParseFieldType(column, TFieldContext::Column, table.ObjName());
}

void TIbParser::ParseAlterTable() {
    GetSy();
    const std::string name = GetName();
    TableName = name;
    // Columns of a table the collections do not know are read and dropped.
    TTblData scratch(Objs());
    scratch.SetObjName(name);
    TTblData* table = Objs() ? Objs()->GetTable(name) : nullptr;

    // One statement reports once, as its first action, whatever else it does.
    TActionReport report = ParseAlterTableAction(table ? *table : scratch);
    while (Sy() == sy_Comma) {
        GetSy();
        ParseAlterTableAction(table ? *table : scratch);
    }
    CloseStatement(stStatement, report.Name, report.Kind, report.Operation, report.Owner);
}

TIbParser::TActionReport TIbParser::ParseAlterTableAction(TTblData& table) {
    const std::string& tableName = TableName;
    TActionReport report;
    if (Is(syADD)) {
        GetSy();
        if (StartsConstraint()) {
            TParsedConstraint constraint = ParseConstraint(tableName, nullptr);
            return {constraint.Name, constraint.Kind, odbCreate, {}};
        }
        if (Is(syCOLUMN))
            GetSy();
        report = {Sy() == sy_Ident ? Ident() : std::string(), dboField, odbCreate, tableName};
        ParseColumn(table);
        FieldName.clear();
        return report;
    }
    if (Is(syALTER)) {
        GetSy();
        if (Is(syCOLUMN))
            GetSy();
        report = {GetName(), dboField, odbAlter, tableName};
        SkipAlterTableAction();
        return report;
    }
    if (Is(syDROP)) {
        GetSy();
        if (Is(syCONSTRAINT)) {
            GetSy();
            return {GetName(), dboConstraint, odbDrop, tableName};
        }
        if (Sy() != sy_Ident) {
            ErrMsg("Unknown ALTER TABLE <table-name> DROP statement");
            SkipAlterTableAction();
            return {{}, dboField, odbDrop, tableName};
        }
        return {GetName(), dboField, odbDrop, tableName};
    }
    ErrMsg("Unknown ALTER statement.");
    SkipAlterTableAction();
    return {{}, dboTable, odbAlter, {}};
}

// To the comma that ends the action, or to the terminator.
void TIbParser::SkipAlterTableAction() {
    int depth = 0;
    while (Sy() != sy_Term && Sy() != sy_EOF && !(depth == 0 && Sy() == sy_Comma)) {
        if (Sy() == sy_LParen)
            ++depth;
        else if (Sy() == sy_RParen && depth > 0)
            --depth;
        GetSy();
    }
}

// ---------------------------------------------------------------------------------------------
// Data types

void TIbParser::ParseFieldType(TFldData& fld, TFieldContext context, const std::string& tableName) {
    ParseDataType(fld);
    if (Sy() == sy_LBracket) {
        // Dimensions [upper] or [lower:upper], comma-separated.
        GetSy();
        for (;;) {
            int lower = 1;
            int upper = ParseSignedInt32();
            if (Sy() == sy_Colon) {
                GetSy();
                lower = upper;
                upper = ParseSignedInt32();
            }
            fld.ArrayBounds.emplace_back(lower, upper);
            if (Sy() != sy_Comma)
                break;
            GetSy();
        }
        TestAndGetSy(sy_RBracket);
    }
    if (Is(syCHARACTER)) {
        GetSy();
        TestAndGetWord(sySET);
        std::string charset = UpperText(GetName());
        // The database's default character set goes without saying.
        if (charset != ibServerOptions_.DBCharSet())
            fld.CharSet = std::move(charset);
    }
    ParseFieldClauses(fld, context, tableName);

    if (fld.FieldType == iftDomain && !fld.TypeOf && !fld.FDefValue.empty())
        if (const TDmnData* domain = Objs() ? Objs()->GetDomain(fld.DomainName) : nullptr)
            if (domain->Data().FDefValue == fld.FDefValue)
                fld.FDefValue.clear();
}

void TIbParser::ParseDataType(TFldData& fld) {
    auto simple = [&](TDBFieldType type) {
        fld.FieldType = type;
        GetSy();
    };
    auto numeric = [&](TDBFieldType type) {
        fld.FieldType = type;
        int precision = 0, scale = 0;
        GetNumDec(precision, scale);
        fld.Precision = precision;
        fld.Scale = scale;
        const bool dialect3 = ibServerOptions_.SQLDialect == 3;
        fld.NumericFieldType = precision < 5    ? iftSmallInt
                               : precision < 10 ? iftInteger
                               : dialect3       ? iftBigInt
                                                : iftDoublePrecision;
    };
    auto character = [&](bool national) {
        GetSy();
        fld.FieldType = iftChar;
        if (Is(syVARYING)) {
            fld.FieldType = iftVarchar;
            GetSy();
        }
        if (national)
            fld.CharSet = "ISO8859_1";
        ParseCharLength(fld);
    };

    if (Is(sySMALLINT)) return simple(iftSmallInt);
    if (Is(syINTEGER)) return simple(iftInteger);
    if (Is(syBIGINT)) return simple(iftBigInt);
    if (Is(syFLOAT)) return simple(iftFloat);
    if (Is(syREAL)) return simple(iftReal);
    if (Is(syDATE)) return simple(iftDate);
    if (Is(syTIME)) return simple(iftTime);
    if (Is(syTIMESTAMP)) return simple(iftTimeStamp);
    if (Is(syBOOLEAN)) return simple(iftBoolean);
    if (Is(syDOUBLE)) {
        GetSy();
        TestWord(syPRECISION);
        return simple(iftDoublePrecision);
    }
    if (Is(syNUMERIC)) return numeric(iftNumeric);
    if (Is(syDECIMAL)) return numeric(iftDecimal);
    if (Is(syCHARACTER)) return character(false);
    if (Is(syNCHAR)) return character(true);
    if (Is(syNATIONAL)) {
        GetSy();
        TestWord(syCHARACTER);
        return character(true);
    }
    if (Is(syVARCHAR) || Is(syCSTRING)) {
        fld.FieldType = Is(syVARCHAR) ? iftVarchar : iftCstring;
        GetSy();
        return ParseCharLength(fld);
    }
    if (Is(syBLOB))
        return ParseBlobType(fld);
    if (Is(syTYPE)) {
        GetSy();
        TestAndGetWord(syOF);
        fld.TypeOf = true;
        fld.FieldType = iftDomain;
        if (Is(syCOLUMN)) {
            GetSy();
            fld.TypeOfTbl = GetName();
            TestAndGetSy(sy_Dot);
            fld.TypeOfFld = GetName();
        } else {
            fld.DomainName = GetName();
        }
        return;
    }
    if (Is(syCOMPUTED)) {
        fld.Body = ParseExpressionAfter(syBY);
        return;
    }
    if (IsWord("GENERATED")) { // GENERATED ALWAYS AS (expression): a computed column
        GetSy();
        TestAndGetIdent("ALWAYS");
        TestWord(syAS);
        fld.Body = GetExpr();
        GetSy();
        return;
    }
    if (Sy() == sy_Ident) {
        fld.FieldType = iftDomain;
        fld.DomainName = GetName();
        return;
    }
    TestSy(sy_Ident);
}

void TIbParser::ParseCharLength(TFldData& fld) {
    fld.CharLength = 1;
    if (Sy() != sy_LParen)
        return;
    GetAndTestSy(sy_Integer);
    fld.CharLength = static_cast<std::int32_t>(IntVal());
    GetSy();
    TestAndGetSy(sy_RParen);
}

void TIbParser::ParseBlobType(TFldData& fld) {
    fld.FieldType = iftBlob;
    fld.BlobSegSize = 80;
    auto setSubType = [&](std::int32_t subType) {
        fld.BlobSubType = subType;
        fld.BlobSubTypeIdent = subType == 1 ? "TEXT" : subType == 2 ? "BLR" : "";
    };
    GetSy();
    if (Sy() == sy_LParen) { // BLOB(segment size [, sub-type])
        GetAndTestSy(sy_Integer);
        fld.BlobSegSize = static_cast<std::uint32_t>(IntVal());
        GetSy();
        if (Sy() == sy_Comma) {
            GetSy();
            setSubType(ParseSignedInt32());
        }
        TestAndGetSy(sy_RParen);
        return;
    }
    for (;;) {
        if (Is(sySUB_TYPE)) {
            GetSy();
            if (IsWord("TEXT")) {
                setSubType(1);
            } else if (IsWord("BINARY")) {
                setSubType(0);
            } else if (IsWord("BLR")) {
                setSubType(2);
            } else if (Sy() == sy_Integer || Sy() == sy_Minus) {
                setSubType(ParseSignedInt32());
                continue;
            } else {
                ErrMsg("Unknown blob-subtype.");
            }
            GetSy();
        } else if (Is(sySEGMENT)) {
            GetSy();
            TestWord(sySIZE);
            GetAndTestSy(sy_Integer);
            fld.BlobSegSize = static_cast<std::uint32_t>(IntVal());
            GetSy();
        } else {
            return;
        }
    }
}

void TIbParser::ParseFieldClauses(TFldData& fld, TFieldContext context, const std::string& tableName) {
    const bool column = context == TFieldContext::Column;
    for (;;) {
        if (column && IsWord("GENERATED")) {
            // GENERATED BY DEFAULT AS IDENTITY [(START WITH n)]
            GetSy();
            TestAndGetWord(syBY);
            TestAndGetWord(syDEFAULT);
            TestAndGetWord(syAS);
            TestAndGetIdent("IDENTITY");
            fld.Identity = true;
            if (Sy() == sy_LParen) {
                GetSy();
                TestAndGetIdent("START");
                TestAndGetWord(syWITH);
                fld.IdentityStart = std::to_string(ParseSignedInteger());
                TestAndGetSy(sy_RParen);
            }
        } else if (Is(syDEFAULT) || (Sy() == sy_Equal && context == TFieldContext::Parameter)) {
            GetSy();
            GetDefaultValue(&fld, fld.FDefValue);
        } else if (Is(syNOT)) {
            const TScanPosition before = SavePosition();
            GetSy();
            if (!Is(syNULL)) {
                RestorePosition(before); // NOT DETERMINISTIC and the like belong to the caller
                return;
            }
            fld.Nullable = false;
            GetSy();
        } else if (Is(syNULL)) {
            GetSy();
        } else if (Is(syCOLLATE)) {
            GetSy();
            fld.Collation = UpperText(GetName());
        } else if (Is(syBY) && context == TFieldContext::FunctionArgument) {
            GetSy();
            if (Is(syDESCRIPTOR))
                fld.FncByDescriptor = true;
            else if (Is(syVALUE))
                fld.FncByValue = true;
            else
                ErrMsg("Must be: BY DESCRIPTOR / BY VALUE");
            GetSy();
        } else if (Is(syCHECK) && context == TFieldContext::Domain) {
            fld.CheckDef = GetExpr();
            GetSy();
        } else if (column && (StartsConstraint() || Is(syREFERENCES))) {
            ParseConstraint(tableName, &fld);
        } else if (Is(syCOMPUTED)) {
            fld.Body = ParseExpressionAfter(syBY);
        } else {
            return;
        }
    }
}

void TIbParser::GetDefaultValue(TDbObj*, std::string& text) {
    const std::size_t start = SyBegPos();
    if (Sy() == sy_Minus || Sy() == sy_Plus) {
        GetSy();
        if (Sy() != sy_Integer && Sy() != sy_Float)
            ErrMsg("DEFAUT <value> error...");
        GetSy();
    } else if (Sy() == syCharsetIntroducer) {
        GetAndTestSy(sy_String);
        GetSy();
    } else if (Is(syCURRENT_TIME) || Is(syCURRENT_TIMESTAMP)) {
        GetSy();
        if (Sy() == sy_LParen) {
            GetAndTestSy(sy_Integer);
            GetAndTestSy(sy_RParen);
            GetSy();
        }
    } else if (Sy() == sy_String || Sy() == sy_Ident || Sy() == sy_Integer || Sy() == sy_Float ||
               Is(syNULL) || Is(syUSER) || Is(syCURRENT_DATE)) {
        GetSy();
    } else {
        ErrMsg("DEFAUT <value> error...");
        if (Sy() != sy_Term)
            GetSy();
    }
    text = CopyTxtFrom(start);
}

// ---------------------------------------------------------------------------------------------
// Constraints

bool TIbParser::StartsConstraint() const {
    return Is(syCONSTRAINT) || Is(syPRIMARY) || Is(syUNIQUE) || Is(syFOREIGN) || Is(syCHECK);
}

TIbParser::TParsedConstraint TIbParser::ParseConstraint(const std::string& tableName, TFldData* column) {
    TParsedConstraint result;
    if (Is(syCONSTRAINT)) {
        GetSy();
        result.Name = GetName();
    }
    if (column && Is(syNOT)) { // a column's named NOT NULL
        GetSy();
        TestAndGetWord(syNULL);
        column->Nullable = false;
        return result;
    }
    auto constraint = std::make_unique<TCtrData>(Objs());
    constraint->SetObjName(result.Name);
    constraint->TblName = tableName;
    auto key = [&](TConstraintType type) {
        constraint->SetCtType(type);
        if (column)
            constraint->Flds.add(column->ObjName(), nullptr);
        else
            ParseColumnList(constraint->Flds);
    };
    if (Is(syPRIMARY)) {
        GetSy();
        TestAndGetWord(syKEY);
        key(ctPKey);
    } else if (Is(syUNIQUE)) {
        GetSy();
        key(ctUnique);
    } else if (Is(syFOREIGN)) {
        GetSy();
        TestAndGetWord(syKEY);
        constraint->SetCtType(ctFKey);
        ParseColumnList(constraint->Flds);
        TestWord(syREFERENCES);
        ParseReferences(*constraint);
    } else if (Is(syREFERENCES) && column) {
        key(ctFKey);
        ParseReferences(*constraint);
    } else if (Is(syCHECK)) {
        constraint->SetCtType(ctCheck);
        constraint->Body = GetExpr();
        GetSy();
    } else {
        ErrMsg("Missing: PRIMARY... or UNIQUE...");
        return result;
    }
    if (constraint->CtType() != ctCheck && Is(syUSING)) {
        GetSy();
        if (Is(syASCENDING)) {
            GetSy();
        } else if (Is(syDESCENDING)) {
            constraint->UsingDescIndex = true;
            GetSy();
        }
        TestAndGetWord(syINDEX);
        constraint->UsingIndex = GetName();
    }
    result.Kind = constraint->ObjType();
    result.Filed = FileConstraint(std::move(constraint));
    return result;
}

void TIbParser::ParseReferences(TCtrData& constraint) {
    GetSy();
    constraint.RefTblName = GetName();
    if (Sy() == sy_LParen)
        ParseColumnList(constraint.RefFlds);
    while (Is(syON)) {
        GetSy();
        const bool update = Is(syUPDATE);
        if (!update && !Is(syDELETE))
            ErrMsg("Missing: UPDATE/DELETE");
        GetSy();
        TUDAction action = udaNoAction;
        if (Is(syNO)) {
            GetSy();
            if (!Is(syACTION))
                ErrMsg("Must be: ACTION");
        } else if (Is(syCASCADE)) {
            action = udaCascade;
        } else if (IsWord("RESTRICT")) {
            action = udaRestrict;
        } else if (Is(sySET)) {
            GetSy();
            if (Is(syDEFAULT))
                action = udaDefault;
            else if (Is(syNULL))
                action = udaNull;
            else
                ErrMsg("Unknown action into UPDATE/DELETE rule.");
        } else {
            ErrMsg("Unknown action into UPDATE/DELETE rule.");
        }
        GetSy();
        (update ? constraint.OnUpdate : constraint.OnDelete) = action;
    }
}

void TIbParser::ParseColumnList(ObjList<TFldData>& columns) {
    TestAndGetSy(sy_LParen);
    while (Sy() != sy_RParen && Sy() != sy_Term && Sy() != sy_EOF) {
        columns.add(GetName(), nullptr);
        if (Sy() != sy_Comma)
            break;
        GetSy();
    }
    TestAndGetSy(sy_RParen);
}

TCtrData* TIbParser::FileConstraint(std::unique_ptr<TCtrData> constraint) {
    TCustomObjs* objs = Objs();
    if (!objs)
        return nullptr;
    if (objs->IBServerOptions().IBCompareOptions.IgnoreIBEObjects &&
        (constraint->ObjName().starts_with("IBE$") || constraint->TblName.starts_with("IBE$")))
        return nullptr;
    const std::string def = constraint->Def();
    switch (constraint->CtType()) {
    case ctPKey: DoLogNextLine("Primary key: " + def); break;
    case ctUnique: DoLogNextLine("Unique: " + def); break;
    case ctFKey: DoLogNextLine("Foreign key 2: " + def); break;
    case ctCheck: DoLogNextLine("Check: " + def); break;
    default: break;
    }
    if (constraint->CtType() == ctPKey) {
        for (const auto& entry : objs->Ctr) {
            const TCtrData& existing = *entry.object;
            if (existing.CtType() != ctPKey || existing.TblName != constraint->TblName)
                continue;
            constraint->SetCtType(ctUnique);
            WrnMsg("Duplicate Primary Key, Table: " + constraint->TblName + " (convert to Unique)\r\n" +
                   existing.Def() + "\r\n" + constraint->Def());
            return nullptr;
        }
    }
    if (constraint->CtType() == ctFKey && objs->GetConstraint(constraint->GetObjKeyDef())) {
        WrnMsg("Duplicate Foreign Key:" + def);
        return nullptr;
    }
    return AddObj(std::move(constraint));
}

// ---------------------------------------------------------------------------------------------
// Indices and domains

void TIbParser::ParseCreateIndex() {
    auto index = std::make_unique<TIdxData>(Objs());
    if (Is(syUNIQUE)) {
        index->Unique = true;
        GetSy();
    }
    if (Is(syASCENDING)) {
        GetSy();
    } else if (Is(syDESCENDING)) {
        index->Desc = true;
        GetSy();
    }
    TestAndGetWord(syINDEX);
    const std::string name = GetName();
    index->SetObjName(name);
    TestAndGetWord(syON);
    index->TblName = GetName();
    if (Is(syCOMPUTED))
        index->Body = ParseExpressionAfter(syBY);
    else if (Sy() == sy_LParen)
        ParseColumnList(index->Flds);
    else
        ErrMsg("Bad INDEX definition");
    AddObj(std::move(index));
    CloseStatement(stStatement, name, dboIndex, odbCreate);
}

void TIbParser::ParseAlterIndex() {
    GetSy();
    const std::string name = GetName();
    TIdxData* index = Objs() ? Objs()->GetIndex(name) : nullptr;
    if (Is(syACTIVE) || Is(syINACTIVE)) {
        if (index) {
            index->Active = Is(syACTIVE);
            DoLogNextLine("Alter index: " + index->Def());
        }
        GetSy();
    } else {
        ErrMsg("Must be: ACTIVE/INACTIVE (ALTER INDEX... declaration)");
    }
    CloseStatement(stStatement, name, dboIndex, odbAlter);
}

void TIbParser::ParseDomain() {
    GetSy();
    const std::string name = GetName();
    auto domain = std::make_unique<TDmnData>(Objs());
    domain->SetObjName(name);
    if (Is(syAS))
        GetSy();
    ParseFieldType(domain->Data(), TFieldContext::Domain);
    AddObj(std::move(domain));
    CloseStatement(stStatement, name, dboDomain, odbCreate);
}

} // namespace dbc
