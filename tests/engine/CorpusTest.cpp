// Every script of the schema corpus (data/corpus, Firebird 3 schemas of an independent project)
// parses without a message, reports every statement, and builds the objects it declares. The
// expected objects are counted here independently of the parser: the script is split at its
// terminators (following SET TERM) and each statement is matched by its leading words.

#include "ParserFixture.h"

#include "engine/dbcComp_Ctr.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

using namespace dbc;
using namespace enginetest;
namespace fs = std::filesystem;

namespace {

struct CorpusScript {
    std::string name; // Group_Case_master
    fs::path file;
    bool firebird25 = false; // the case runs on Firebird 2.5 as well
};

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<CorpusScript> CorpusScripts() {
    std::vector<CorpusScript> scripts;
    for (const char* group : {"Changing", "Creating", "Removing"}) {
        std::vector<fs::path> cases;
        for (const auto& entry : fs::directory_iterator(fs::path(ENGINE_CORPUS_DIR) / group))
            cases.push_back(entry.path());
        std::sort(cases.begin(), cases.end());
        for (const fs::path& folder : cases) {
            const bool firebird25 = ReadText(folder / "case.ini").find("min_version=25") != std::string::npos;
            for (const char* side : {"master", "target"})
                scripts.push_back({std::string(group) + "_" + folder.filename().string() + "_" + side,
                                   folder / (std::string(side) + ".sql"), firebird25});
        }
    }
    return scripts;
}

// The statements of a script, comments dropped, blanks collapsed, lower case.
std::vector<std::string> SplitStatements(const std::string& text) {
    std::vector<std::string> statements;
    std::string term = ";";
    std::string current;
    auto flush = [&] {
        std::string s = std::regex_replace(current, std::regex("\\s+"), " ");
        s = std::regex_replace(s, std::regex("^ | $"), "");
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        current.clear();
        if (s.empty())
            return;
        std::smatch m;
        if (std::regex_match(s, m, std::regex("set term (\\S+)")))
            term = m[1];
        statements.push_back(s);
    };
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "--") == 0) {
            i = std::min(text.find('\n', i), text.size());
        } else if (text.compare(i, 2, "/*") == 0) {
            i = std::min(text.find("*/", i) + 2, text.size());
        } else if (text[i] == '\'' || text[i] == '"') {
            const std::size_t end = std::min(text.find(text[i], i + 1) + 1, text.size());
            current += text.substr(i, end - i);
            i = end;
        } else if (text.compare(i, term.size(), term) == 0) {
            i += term.size();
            flush();
        } else {
            current += text[i++];
        }
    }
    flush();
    return statements;
}

// What the statements declare: per kind, the distinct objects (by name, or for an unnamed
// constraint by its statement and place in it).
struct Declared {
    std::map<std::string, std::set<std::string>> kinds;
    std::size_t reported = 0;
};

Declared Declare(const std::vector<std::string>& statements) {
    Declared declared;
    const std::pair<const char*, std::regex> kKinds[] = {
        {"table", std::regex("^(create|recreate) (global temporary )?table (\\w+)")},
        {"view", std::regex("^(create( or alter)?|recreate) view (\\w+)")},
        {"procedure", std::regex("^(create( or alter)?|recreate) (procedure|function) (\\w+)")},
        {"trigger", std::regex("^(create( or alter)?|recreate) trigger (\\w+)")},
        {"domain", std::regex("^create domain (\\w+)")},
        {"generator", std::regex("^(create( or alter)?|recreate) (sequence|generator) (\\w+)")},
        {"exception", std::regex("^(create( or alter)?|recreate) exception (\\w+)")},
        {"role", std::regex("^create role (\\w+)")},
        {"function", std::regex("^declare external function (\\w+)")},
        {"package", std::regex("^(create( or alter)?|recreate) package (body )?(\\w+)")},
        {"index", std::regex("^create (unique )?((asc|ascending|desc|descending) )?index (\\w+)")},
        {"grant", std::regex("^grant (.*)")},
    };
    const std::pair<const char*, std::regex> kConstraints[] = {
        {"primary key", std::regex("(constraint (\\w+) )?primary key")},
        {"unique", std::regex("(constraint (\\w+) )?\\bunique\\b")},
        {"foreign key", std::regex("(constraint (\\w+) )?(foreign key \\([^)]*\\) )?\\breferences\\b")},
        {"check", std::regex("(constraint (\\w+) )?\\bcheck *\\(")},
    };
    const std::regex tableStatement("^((create|recreate) (global temporary )?table|alter table) ");
    for (const std::string& s : statements) {
        if (s.starts_with("set term ") || std::regex_match(s, std::regex("commit( work)?")))
            continue;
        ++declared.reported;
        std::smatch m;
        for (const auto& [kind, pattern] : kKinds)
            if (std::regex_search(s, m, pattern))
                declared.kinds[kind].insert(m[m.size() - 1]);
        if (!std::regex_search(s, tableStatement))
            continue;
        for (const auto& [kind, pattern] : kConstraints) {
            int ordinal = 0;
            for (auto it = std::sregex_iterator(s.begin(), s.end(), pattern); it != std::sregex_iterator(); ++it)
                declared.kinds[kind].insert((*it)[2].matched ? (*it)[2].str() : s + " #" + std::to_string(++ordinal));
        }
    }
    return declared;
}

std::map<std::string, std::size_t> Counts(const Declared& declared) {
    std::map<std::string, std::size_t> counts;
    for (const auto& [kind, objects] : declared.kinds)
        counts[kind] = objects.size();
    return counts;
}

std::map<std::string, std::size_t> Counts(const TObjs& objs) {
    std::map<std::string, std::size_t> counts{
        {"table", objs.Tbl.size()},     {"view", objs.Viw.size()},   {"procedure", objs.Prc.size()},
        {"trigger", objs.Trg.size()},   {"domain", objs.Dmn.size()}, {"generator", objs.Gnr.size()},
        {"exception", objs.Exc.size()}, {"role", objs.Rol.size()},   {"function", objs.Udf.size()},
        {"package", objs.Pkg.size()},   {"index", objs.Idx.size()},  {"grant", objs.Gnt.size()}};
    for (const auto& entry : objs.Ctr) {
        switch (entry.object->CtType()) {
        case ctPKey: ++counts["primary key"]; break;
        case ctUnique: ++counts["unique"]; break;
        case ctFKey: ++counts["foreign key"]; break;
        case ctCheck: ++counts["check"]; break;
        default: break;
        }
    }
    std::erase_if(counts, [](const auto& entry) { return entry.second == 0; });
    return counts;
}

// Test names show the case by its name.
void PrintTo(const CorpusScript& c, std::ostream* os) { *os << c.name; }

class Corpus : public testing::TestWithParam<CorpusScript> {};

INSTANTIATE_TEST_SUITE_P(Scripts, Corpus, testing::ValuesIn(CorpusScripts()),
                         [](const auto& info) { return info.param.name; });

} // namespace

TEST(CorpusSplitter, FollowsTerminatorsAndSkipsComments) {
    EXPECT_EQ(SplitStatements("create table t (a int); -- x;\nset term ^;\ncreate procedure p as begin x = ';'; end^\n"
                              "set term ;^\n/* ; */ drop  table\n t;"),
              (std::vector<std::string>{"create table t (a int)", "set term ^",
                                        "create procedure p as begin x = ';'; end", "set term ;", "drop table t"}));
}

TEST_P(Corpus, ParsesIntoTheDeclaredObjects) {
    const CorpusScript& script = GetParam();
    const std::string text = ReadText(script.file);
    ScriptParse parse;
    parse.ParseAndLink(text);
    EXPECT_EQ(parse.Messages(), std::vector<std::string>{});
    const Declared declared = Declare(SplitStatements(text));
    EXPECT_EQ(parse.statements.size(), declared.reported) << testing::PrintToString(parse.Keys());
    EXPECT_EQ(Counts(parse.objs), Counts(declared));

    if (script.firebird25) {
        ScriptParse firebird25(st_Firebird_25);
        firebird25.Parse(text);
        EXPECT_EQ(firebird25.Messages(), std::vector<std::string>{});
        EXPECT_EQ(Counts(firebird25.objs), Counts(declared));
    }
}
