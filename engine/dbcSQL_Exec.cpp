#include "engine/dbcSQL_Exec.h"

namespace dbc {

namespace {

// Appends the pieces of text between CR LF pairs, the last one included, so a text ending in
// CR LF leaves an empty line behind it.
void AppendText(std::vector<std::string>& lines, std::string_view text) {
    std::size_t pos = 0;
    for (std::size_t end; (end = text.find("\r\n", pos)) != std::string_view::npos; pos = end + 2)
        lines.emplace_back(text.substr(pos, end - pos));
    lines.emplace_back(text.substr(pos));
}

// The statement's lines, each followed by CR LF.
std::string JoinedText(const TStatement& statement) {
    std::string text;
    for (const std::string& line : statement.Text)
        text += line + "\r\n";
    return text;
}

// Statements whose text may hold ";" and that therefore end in "^". A package created as a
// plain statement is one of them too, so it gets its SET TERM block like the others.
bool IsProcedureLike(const TStatement& st) {
    return st.Typ == stProcedure || st.Typ == stTrigger || st.Typ == stPackage ||
           (st.Typ == stStatement && st.ObjType == dboPackage && st.Operation == odbCreate);
}

bool GetsCommit(TStatType typ) {
    return typ == stStatement || typ == stProcedure || typ == stTrigger || typ == stDescription ||
           typ == stPackage;
}

} // namespace

void TSQLExec::Add_Commit() { Add("COMMIT WORK;", st_Commit, "COMMIT WORK", dboUnknown, odbCommit); }

TStatement* TSQLExec::AddComment(std::string_view comment) {
    return Add(comment, stComment, "/*  */", dboUnknown, odbComment);
}

void TSQLExec::AddReConnect() {
    if (DatabaseType != dbInterBase)
        return;
    if (ibServerOptions_.IBCompareOptions.UseRECONNECT) {
        Add("RECONNECT", stReconnect);
        return;
    }
    std::string connect = ibServerOptions_.ConnectDatabaseDef(connectionOptions_);
    if (!connect.empty())
        Add(connect, stConnect);
}

std::string TSQLExec::QuoteIdent(std::string_view ident) const {
    return Quote_Ident(ident, DatabaseType, ibServerOptions_.SQLServerVersion, 3);
}

void TSQLExec::GetScript(std::vector<std::string>& lines, bool lineReNumber) {
    const bool firebird = DatabaseType == dbInterBase;
    const bool commits = firebird && ibServerOptions_.IBCompareOptions.GenerateCOMMIT;
    const std::string term = GenScriptTerm(DatabaseType);
    auto here = [&] { return static_cast<std::int32_t>(lines.size()); };
    SetLine(here());

    bool caretTerm = false;
    for (std::size_t i = 0; i < StatementsCount(); ++i) {
        TStatement& st = Statements(i);
        if (lineReNumber)
            st.Line = here();
        if (st.Disabled)
            continue;
        const bool procedureLike = IsProcedureLike(st);
        auto switchTerm = [&](bool caret) {
            if (firebird) {
                lines.emplace_back(caret ? "SET TERM ^ ;" : "SET TERM ; ^");
                lines.emplace_back();
                if (lineReNumber)
                    st.Line = here();
            }
            caretTerm = caret;
        };
        if (procedureLike && !caretTerm)
            switchTerm(true);
        else if (!procedureLike && st.Typ != stComment && caretTerm)
            switchTerm(false); // comments never switch the terminator back

        const std::string text = JoinedText(st);
        const std::string trimmed(TrimText(text));
        if (procedureLike) {
            if (firebird) {
                lines.insert(lines.end(), st.Text.begin(), st.Text.end());
                lines.emplace_back("^");
                lines.emplace_back();
            } else {
                AppendText(lines, trimmed + term);
            }
        } else if (st.Typ == stDescription) {
            AppendText(lines, trimmed + ";\r\n");
        } else if (st.ObjType == dboView) {
            if (firebird && st.Text.size() == 1) {
                AppendText(lines, trimmed + term);
            } else {
                AppendText(lines, trimmed);
                AppendText(lines, term);
            }
        } else {
            switch (st.Typ) {
            case stConnect:
            case stCreateDb:
            case stSet:
            case stStatement:
            case stSetNames:
            case stCharSet:
            case stSqlDialect: AppendText(lines, trimmed + st.Term); break;
            case stReconnect:
            case stSetBlobFile:
            case stInsert:
            case stUpdate:
            case stDelete: AppendText(lines, trimmed + term); break;
            default: AppendText(lines, trimmed); break;
            }
        }
        if (commits && GetsCommit(st.Typ))
            lines.emplace_back(caretTerm ? "COMMIT WORK ^" : "COMMIT WORK;");
    }
    if (caretTerm && firebird) {
        lines.emplace_back("SET TERM ; ^");
        lines.emplace_back();
    }
    SetLine(here());
}

void TSQLExec::Clear() {
    connectionOptions_.Clear();
    ibServerOptions_.Clear();
    TCustomSQLExec::Clear();
}

} // namespace dbc
