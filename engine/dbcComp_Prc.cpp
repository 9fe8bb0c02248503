#include "engine/dbcComp_Prc.h"

namespace dbc {

namespace {

std::string JoinDefs(const ObjList<TFldData>& list) {
    std::string text;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0)
            text += ",\r\n";
        text += list[i].object->Def();
    }
    return text;
}

} // namespace

TPrcData::TPrcData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboProcedure); }

TFldData& TPrcData::AddParam(std::string name, TParamInOutType inOut) {
    TFldData& param = AddOwnedField(*this, inOut == ioOut ? Returns : Params, std::move(name),
                                    dboParam);
    param.InOut = inOut;
    return param;
}

void TPrcData::ClearParams() {
    Params.clear();
    Returns.clear();
}

std::string TPrcData::ParamDef() const {
    std::string text;
    if (!Params.empty())
        text += "(" + JoinDefs(Params) + ")\r\n";
    if (!Returns.empty()) {
        text += " RETURNS";
        if (IsFunction)
            text += " " + Returns[0].object->Def() + (Deterministic ? " DETERMINISTIC" : "");
        else
            text += "(" + JoinDefs(Returns) + ")";
        text += "\r\n";
    }
    return text;
}

std::string TPrcData::Header(std::string_view verb, std::string_view name, std::string_view body) const {
    std::string text = std::string(verb) + (IsFunction ? " FUNCTION " : " PROCEDURE ") +
                       std::string(name) + ParamDef();
    if (!External.empty())
        return text + External; // an external routine has no body to put after AS
    return text + " AS\r\n" + std::string(body);
}

std::string TPrcData::Def() const { return Header("CREATE", QuoteIdent(ObjName()), Body); }

std::string TPrcData::AlterDef() const { return Header("ALTER", QuoteIdent(ObjName()), Body); }

std::string TPrcData::DropDef() const {
    if (CompExclude)
        return {};
    return (IsFunction ? "DROP FUNCTION " : "DROP PROCEDURE ") + QuoteIdent(ObjName());
}

std::string TPrcData::EmptyBody() const {
    if (IsFunction)
        return " BEGIN RETURN NULL; END";
    return Returns.empty() ? " BEGIN EXIT; END" : " BEGIN SUSPEND; END";
}

std::string TPrcData::EmptyDef() const {
    if (CompExclude)
        return {};
    return Header("CREATE", ObjFullName(), EmptyBody());
}

std::string TPrcData::AlterEmptyDef() const { return Header("ALTER", ObjFullName(), EmptyBody()); }

void TPrcData::SetRestoreBody(bool value) {
    fRestoreBody_ = value;
    if (auto* counterpart = dynamic_cast<TPrcData*>(RefObj()))
        counterpart->fRestoreBody_ = value;
}

void TPrcData::AssignEmptyBody(bool genSQL) {
    if (!GetObjCreated() || Body == EmptyBody())
        return;
    Body = EmptyBody();
    SetUseOfInactive();
    if (TCustomObjs* master = Objs() ? Objs()->GetObjsMaster() : nullptr)
        if (TPrcData* procedure = master->GetProcedure(ObjName()))
            procedure->SetRestoreBody(true);
    if (genSQL) {
        AddToScript(AlterDef(), stProcedure, ObjName(), dboProcedure, odbEmpty);
        CurrentDefinition = Def();
    }
}

} // namespace dbc
