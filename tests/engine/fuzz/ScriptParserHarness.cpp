#include "ScriptParserHarness.h"

#include "engine/dbcCompObj.h"
#include "engine/dbcIBParser.h"
#include "engine/dbcSQL_Exec.h"

#include <memory>
#include <string>

namespace enginefuzz {

namespace {

using namespace dbc;

// INPUT must not read the machine's files while fuzzing.
class NoInputParser : public TIbParser {
public:
    NoInputParser() : TIbParser(nullptr) {}
    void ParseFile(const std::string&, TCustomObjs*) override {}

protected:
    std::unique_ptr<TIbParser> CreateChildParser() override { return std::make_unique<NoInputParser>(); }
};

} // namespace

void ParseScriptBytes(std::string_view bytes) {
    const unsigned selector = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]);
    TSQLExec exec;
    exec.DatabaseType = dbInterBase;
    TObjs objs;
    NoInputParser parser;
    parser.IBServerOptions().SQLServerVersion =
        static_cast<TIBSQLServerVersionType>(selector % IBSQLServerVersionCount);
    parser.OnErrorMessage = [](platform::Object&, const std::string&) {};
    parser.OnAddStatement = [&](platform::Object&, const std::string& text, TStatType typ, const std::string& name,
                                TDbObject kind, TDbOperation operation, const std::string& owner,
                                TStatement*& statement) {
        statement = exec.Add(text, typ, name, kind, operation, owner);
    };
    std::string text(bytes);
    if (selector & 0x80)
        text.insert(0, "SET SQL DIALECT 3;\n");
    parser.ParseScript(SplitLines(text), &objs);
    parser.Link_Depend();
    std::vector<std::string> lines;
    exec.GetScript(lines, true);
}

} // namespace enginefuzz
