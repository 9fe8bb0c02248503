#pragma once

// The dialect-neutral half of the engine's SQL parser: a character scanner over a UTF-8 text,
// symbols read against a reserved-word table, messages and events, the statement notification
// through which a parser hands finished statements to a script model, the query-context stack
// used while bodies are read, and the generic passes that turn names into dependency records.

#include "engine/dbcClasses.h"
#include "engine/dbcDBOptions.h"
#include "engine/dbcMsgMngr.h"
#include "engine/dbcTypes.h"
#include "platform/Component.h"
#include "platform/StringList.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dbc {

namespace parser_detail {
class TextBuffer;
}

// The text with a to z in upper case; identifiers are ASCII, other bytes stay as they are.
std::string UpperText(std::string_view text);

// Where ParseFile keeps the text it scans: in memory (pb_String, pb_Memory) or in a temporary
// file read through a window (pb_File), for scripts too large to hold.
enum TParseBufferType : std::uint8_t { pb_String, pb_Memory, pb_File };

// What the scanner writes to the debug channel while parsing.
enum TDebugLogOption : std::uint8_t { dlSymbol, dlComment, dlExpr };
using TDebugLogOptions = EnumSet<TDebugLogOption, 3>;

// The symbol codes every parser shares; a dialect's reserved words take the codes from 30 up.
enum TSymbol : std::uint8_t {
    sy_EOF, sy_Ident, sy_Float, sy_String, sy_Integer, sy_LParen, sy_RParen, sy_Comma, sy_Minus,
    sy_Plus, sy_Star, sy_Slash, sy_Term, sy_Semicolon, sy_Equal, sy_Dot, sy_Colon, sy_Concat,
    sy_Less, sy_Greater, sy_LessEqual, sy_GreaterEqual, sy_NotEqual, sy_EqualEqual, sy_LBracket,
    sy_RBracket, sy_AtSign, sy_Backslash, sy_Percent, sy_Ampersand
};
inline constexpr int FixedSymbolCount = sy_Ampersand + 1;

// A set of symbol codes.
class TSymSet {
public:
    TSymSet() = default;
    TSymSet(std::initializer_list<std::uint8_t> codes) {
        for (std::uint8_t code : codes)
            bits_.set(code);
    }
    bool Contains(std::uint8_t code) const { return bits_.test(code); }

private:
    std::bitset<256> bits_;
};

// Reserved words with their symbol codes, sorted by word; looked up with the upper-case word.
class TResWordList {
public:
    void AddResWord(std::string word, std::uint8_t code);
    std::size_t Count() const { return words_.size(); }
    std::uint8_t GetSymbol(std::size_t index) const { return words_[index].object; }
    // The code of the word, 0 when absent.
    std::uint8_t GetSymbolByWord(std::string_view word) const;
    // The last word in sort order that carries the code (INTEGER rather than INT); "<???>" when
    // no word carries it.
    const std::string& GetWordBySymbol(std::uint8_t code) const;
    void Clear();

private:
    platform::StringList<std::uint8_t> words_{true};
    mutable std::array<std::string, 256> display_;
    mutable bool displayValid_ = false;
};

// A saved scanner position, so that a text can be read again from there.
struct TScanPosition {
    int Line = 1;
    int ChPos = 1;
    std::size_t ix = 1;
    std::size_t ChIx = 0;
    char32_t Ch = 0;
    std::uint8_t Sy = sy_EOF;
    std::size_t SyBegPos = 1;
    std::string Ident;
};

// One level of the name-resolution stack used while a query is read: the tables, views or
// procedures of its FROM list with their aliases (empty when none), whether the query is being
// read for the second time, and where it began.
struct TSelectContext {
    std::vector<std::string> SelectTables;
    std::vector<std::string> SelectAliases;
    bool SecondPass = false;
    TScanPosition Saved;
};

// Scanner, symbols, messages and the entry points of every parser. A parser is created for one
// job (loading one script, or reading the bodies of one extracted structure) and freed after it.
class TCustomParser : public platform::Component {
public:
    // Takes the collections from the extractor's structure when there is one.
    explicit TCustomParser(TCustomExtract* extractor);
    ~TCustomParser() override;

    virtual std::string_view ClassName() const { return "TCustomParser"; }

    TParseBufferType ParseBuffer = pb_String;
    bool UpdateProgress = true;
    TDebugLogOptions DebugLogOptions;
    // Shown in messages; a relative INPUT file is taken relative to its folder.
    std::string ScriptFileName;

    TErrorMessageEvent OnErrorMessage;
    TLogNextLineEvent OnLogNextLine;
    TLogNextLineEvent OnDebugMessage;
    // Sender, current line, number of lines.
    TProgressUpdateEvent OnProgressUpdate;
    // Every statement read, in script order; the handler returns the statement it created.
    TAddStatementEvent OnAddStatement;

    TCustomExtract* Extractor() const { return extractor_; }
    TCustomObjs* Objs() const { return objs_; }
    // Also gives the collections the parser's database kind.
    void SetObjs(TCustomObjs* objs);
    TDatabaseType DatabaseType() const { return databaseType_; }
    // Also sets the collections' database kind.
    virtual void SetDatabaseType(TDatabaseType value);
    TMsgManager& MsgManager() { return msgMngr_; }
    const TMsgManager& MsgManager() const { return msgMngr_; }
    const TResWordList& ResWords() const { return resWords_; }

    const std::string& TermStr() const { return termStr_; }
    void SetTermStr(std::string term) { termStr_ = std::move(term); }
    // Entry points. ParseScript and ParseFile parse into the given collections.
    void AssignTxt(std::string text);
    virtual void ParseScript(const std::vector<std::string>& lines, TCustomObjs* objs);
    virtual void ParseFile(const std::string& fileName, TCustomObjs* objs);
    // Reads the whole text; a dialect replaces this with its statement dispatcher.
    virtual void ParseText();
    // Dependency passes over the whole collection, after all objects and bodies are read.
    virtual void Link_Depend() {}

    // Reads the next symbol; stays on a terminator while HoldTerminator is set.
    void GetSy();
    // The current symbol and what it carries.
    std::uint8_t Sy() const { return sy_; }
    const std::string& Ident() const { return ident_; }
    std::int64_t IntVal() const { return intVal_; }
    const std::string& StrVal() const { return strVal_; }
    char StrQuoteCh() const { return strQuoteCh_; }
    double FloatVal() const { return floatVal_; }
    const std::string& SyResWord() const { return *syResWord_; }
    // Line of the current character, and its column (1-based).
    int GetPosY() const { return line_; }
    int GetPosX() const { return chPos_ - 1; }
    // The display text of a symbol code, as messages show it.
    virtual const std::string& ResWordBySymbol(std::uint8_t code) const;

    // Records an error (shown through the error event when it is the first) or a warning,
    // with the script position.
    virtual void ErrMsg(const std::string& text);
    void WrnMsg(const std::string& text);
    virtual std::string GetScriptInfo() const;

protected:
    // Character access. GetChar advances and returns the new current character; CurCh is the
    // character after it and NextCh the one after that (0 past the end).
    char32_t GetChar();
    char32_t CurCh() const;
    char32_t NextCh() const;
    char32_t Ch() const { return ch_; }
    // 1-based byte position of the current character.
    std::size_t ChIx() const { return chIx_; }
    std::string CopyTxt(std::size_t from, std::size_t count) const;
    // Whether the text at the 1-based byte position reads exactly text.
    bool TextAt(std::size_t from, std::string_view text) const;
    std::size_t LengthTxt() const;
    bool AtEndOfText() const { return ch_ == 0 && ix_ > LengthTxt(); }
    std::size_t SyBegPos() const { return syBegPos_; }
    void SetStBegPos(std::size_t pos) { stBegPos_ = pos; }

    // Symbol reading, in the order GetSy calls them.
    virtual bool SkipText();
    virtual void DoBeforeGetSy();
    virtual void DoGetSy();
    virtual void DoAfterGetSy() {}
    virtual bool CheckTermStr();
    // Adds the display texts of the fixed symbols; a dialect adds its words after them.
    virtual void BuildResWords();
    // Rebuilds the table; a dialect's constructor calls it, so that its own words are added.
    void RebuildResWords();
    void AddResWord(std::string word, std::uint8_t code) { resWords_.AddResWord(std::move(word), code); }
    virtual std::uint8_t FindResWord(const std::string& upperWord) const;
    void GetIdent();
    void GetInt();
    std::string GetStr();
    // Moves past the quoted text that starts at the current character.
    void SkipLiteral();
    // The next parenthesised group as raw text (or the single next character when it is no
    // parenthesis); the scanner is left after it.
    std::string GetExpr();
    // An optional "(precision [, scale])" after the current symbol; 9 and 0 without one.
    void GetNumDec(int& precision, int& scale);
    void SetSy(std::uint8_t code) { sy_ = code; }
    void SetIdent(std::string ident) { ident_ = std::move(ident); }
    void SetStrVal(std::string value) { strVal_ = std::move(value); }
    void SetIntVal(std::int64_t value) { intVal_ = value; }
    void SetStrQuoteCh(char quote) { strQuoteCh_ = quote; }

    void TestSy(std::uint8_t code);
    void TestAndGetSy(std::uint8_t code);
    void GetAndTestSy(std::uint8_t code);
    // The current symbol is an identifier whose upper-case text is the word.
    bool IsIdent(std::string_view word) const;
    void TestIdent(std::string_view word);

    // Set while a statement is read, so that no reader passes its terminator by mistake (after
    // an error, say) and swallows the next statement; the dispatcher clears it to move on.
    bool HoldTerminator = false;

    TScanPosition SavePosition() const;
    void RestorePosition(const TScanPosition& position);

    virtual void DoErrorMessage(const std::string& text);
    virtual void DoLogNextLine(const std::string& text);
    virtual void DoDbgMsg(const std::string& text);
    virtual void DoProgressUpdate(int position, int total);
    // Hands the statement from StBegPos up to the current symbol, or an explicit text, to the
    // statement event; returns what the handler created.
    TStatement* DoAddStatement(TStatType typ, std::string_view objName, TDbObject objType,
                               TDbOperation operation, std::string_view ownName = {});
    TStatement* DoAddStatement(std::string_view text, TStatType typ, std::string_view objName,
                               TDbObject objType, TDbOperation operation,
                               std::string_view ownName = {});

    // Files a parsed object in the collections; null (and the object freed) when refused.
    template <class T>
    T* AddObj(std::unique_ptr<T> obj) {
        return objs_ ? objs_->AddObj(std::move(obj)) : nullptr;
    }

    void notification(platform::Component& dying) override;

private:
    char32_t DecodeAt(std::size_t ix, std::size_t& length) const;
    void SetBuffer(std::unique_ptr<parser_detail::TextBuffer> buffer);
    void ScanBuffer();
    void LogSymbol();

    TCustomExtract* extractor_ = nullptr;
    TCustomObjs* objs_ = nullptr;
    TDatabaseType databaseType_ = dbAbstract;
    std::string termStr_ = ";";
    std::unique_ptr<parser_detail::TextBuffer> buffer_;
    int linesCount_ = 0;

    char32_t ch_ = 0;
    int line_ = 1;
    int chPos_ = 1;
    std::size_t ix_ = 1;
    std::size_t chIx_ = 0;

    std::uint8_t sy_ = sy_EOF;
    const std::string* syResWord_ = nullptr;
    std::size_t syBegPos_ = 1;
    std::size_t stBegPos_ = 1;
    std::string ident_;
    std::int64_t intVal_ = 0;
    std::string strVal_;
    char strQuoteCh_ = 0;
    double floatVal_ = 0;

    TMsgManager msgMngr_;
    TResWordList resWords_;
};

// SQL comments, the statement terminator, the || operator, the query-context stack and the
// generic dependency passes.
class TCustomSQLParser : public TCustomParser {
public:
    explicit TCustomSQLParser(TCustomExtract* extractor);
    ~TCustomSQLParser() override;

    std::string_view ClassName() const override { return "TCustomSQLParser"; }

    // Filled by the CONNECT and CREATE DATABASE statements of a parsed script.
    TConnectionOptions& ConnectionOptions() { return connectionOptions_; }
    const TConnectionOptions& ConnectionOptions() const { return connectionOptions_; }
    // Text of the last comment skipped.
    const std::string& Comment() const { return comment_; }

    // Also copies the connection options into the collections'.
    void ParseScript(const std::vector<std::string>& lines, TCustomObjs* objs) override;
    // Sorts the grants, then links indices, constraints, key pairs and grants.
    void Link_Depend() override;

    // The name as DDL must spell it; unchanged here.
    virtual std::string QuoteIdent(std::string_view name) const { return std::string(name); }
    // Structural reading of an object's body, which the body parser provides.
    virtual void ParseObjBody(TDbObj*) {}
    virtual void ParseObjTxt(TDbObj*) {}

    // The query-context stack.
    TSelectContext& PushSelectContext();
    void PopSelectContext();
    std::size_t SelectCtxSize() const { return selectCtx_.size(); }
    TSelectContext& SelectCtx(std::size_t level) { return *selectCtx_.at(level); }
    void SetSelectContext(TSelectContext& ctx) const { ctx.Saved = SavePosition(); }
    void GotoSelectContext(const TSelectContext& ctx) { RestorePosition(ctx.Saved); }
    // Names declared as local variables in the body being read.
    std::vector<std::string> LocalVariables;

    // Records that dependent uses obj (through the column fieldName of it when given).
    void LinkDepend(TDbObj* dependent, TDbObj* obj, std::string_view fieldName = {});
    // Records that dependent uses the object of that name, looked up among the kinds.
    void LinkDepend(TDbObj* dependent, std::string_view name, TDbObjectSet kinds);
    // Resolves a column reference read inside a query through the context stack.
    virtual void AddLinkDepend(TDbObj* dependent, std::string_view qualifier,
                               std::string_view fieldName);

protected:
    bool SkipText() override;
    void DoGetSy() override;
    void SkipComment();
    // Reads symbols until the current one is in the set or the text ends.
    void SkipStatement(const TSymSet& stop);
    // The trimmed text from pos up to the current symbol.
    std::string CopyTxtFrom(std::size_t pos) const;
    // The object of that name among the kinds, looked up in the fixed order of kinds.
    TDbObj* FindObj(std::string_view name, TDbObjectSet kinds) const;

private:
    TDbObj* ResolveQualifier(std::string_view qualifier) const;
    void LinkIdx();
    void LinkCtr();
    void LinkPkFk();
    void LinkGrant();

    TConnectionOptions connectionOptions_;
    std::string comment_;
    std::vector<std::unique_ptr<TSelectContext>> selectCtx_;
};

} // namespace dbc
