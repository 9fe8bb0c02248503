#include "engine/dbcParser.h"

#include "engine/dbcMsg.h"
#include "engine/dbcParser_Buffer.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace dbc {

using platform::appendUtf8;

namespace {

// Display texts of the fixed symbol codes, in code order.
constexpr std::string_view kFixedSymbolTexts[FixedSymbolCount] = {
    "<EOF>", "<Ident>", "<Float value>", "<String value>", "<Integer value>", "<(>", "<)>", "<,>",
    "<->", "<+>", "<*>", "</>", "<Terminator>", "<;>", "<=>", "<.>", "<:>", "<||>", "\"<\"",
    "\">\"", "\"<=\"", "\">=\"", "[<>]", "<==>", "<[>", "<]>", "<@>", "\\", "%", "<&>"};

bool IsBlank(char32_t c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }
bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool IsLetter(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsIdentChar(char32_t c) { return IsLetter(c) || IsDigit(c) || c == '$' || c == '_'; }
char32_t Upper(char32_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

std::string Utf8Of(char32_t c) {
    std::string text;
    appendUtf8(text, c);
    return text;
}

// A name for a temporary copy of a script that no other parser, in this or another process,
// uses at the same time: a random tag of the process and a running number.
std::filesystem::path TemporaryScriptPath() {
    static const std::string tag = std::to_string(std::random_device{}());
    static std::atomic<unsigned> counter{0};
    std::error_code ignored;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ignored);
    return folder / ("dbcparse_" + tag + "_" + std::to_string(++counter) + ".txt");
}

} // namespace

std::string UpperText(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

// ---------------------------------------------------------------------------------------------
// TResWordList

void TResWordList::AddResWord(std::string word, std::uint8_t code) {
    words_.add(std::move(word), code);
    displayValid_ = false;
}

std::uint8_t TResWordList::GetSymbolByWord(std::string_view word) const {
    std::size_t index = words_.indexOf(word);
    return index == words_.npos ? 0 : words_[index].object;
}

const std::string& TResWordList::GetWordBySymbol(std::uint8_t code) const {
    if (!displayValid_) {
        display_.fill("<\?\?\?>"); // "<???>", escaped so that it reads as no trigraph
        // In sort order, so that the last word carrying a code wins.
        for (const auto& entry : words_)
            display_[entry.object] = entry.text;
        displayValid_ = true;
    }
    return display_[code];
}

void TResWordList::Clear() {
    words_.clear();
    displayValid_ = false;
}

// ---------------------------------------------------------------------------------------------
// TCustomParser: construction and configuration

TCustomParser::TCustomParser(TCustomExtract* extractor) : extractor_(extractor) {
    if (extractor_) {
        freeNotification(*extractor_);
        if (TCustomDBStructure* structure = extractor_->DBStructure())
            objs_ = structure->Objs();
    }
    RebuildResWords();
    SetBuffer(nullptr);
}

TCustomParser::~TCustomParser() = default;

void TCustomParser::notification(platform::Component& dying) {
    if (&dying == extractor_)
        extractor_ = nullptr;
}

void TCustomParser::SetObjs(TCustomObjs* objs) {
    objs_ = objs;
    if (objs_ && databaseType_ != dbAbstract)
        objs_->SetDatabaseType(databaseType_);
}

void TCustomParser::SetDatabaseType(TDatabaseType value) {
    databaseType_ = value;
    if (objs_)
        objs_->SetDatabaseType(value);
}

void TCustomParser::BuildResWords() {
    for (int code = 0; code < FixedSymbolCount; ++code)
        resWords_.AddResWord(std::string(kFixedSymbolTexts[code]), static_cast<std::uint8_t>(code));
}

void TCustomParser::RebuildResWords() {
    resWords_.Clear();
    BuildResWords();
    syResWord_ = &resWords_.GetWordBySymbol(sy_);
}

std::uint8_t TCustomParser::FindResWord(const std::string& upperWord) const {
    std::uint8_t code = resWords_.GetSymbolByWord(upperWord);
    return code ? code : static_cast<std::uint8_t>(sy_Ident);
}

const std::string& TCustomParser::ResWordBySymbol(std::uint8_t code) const {
    return resWords_.GetWordBySymbol(code);
}

// ---------------------------------------------------------------------------------------------
// Entry points

void TCustomParser::SetBuffer(std::unique_ptr<parser_detail::TextBuffer> buffer) {
    buffer_ = buffer ? std::move(buffer) : parser_detail::MemoryBuffer({});
}

void TCustomParser::ScanBuffer() {
    ix_ = 1;
    chIx_ = 1;
    line_ = 1;
    chPos_ = 1;
    ch_ = 0;
    GetChar();
}

void TCustomParser::AssignTxt(std::string text) {
    SetBuffer(parser_detail::MemoryBuffer(std::move(text)));
    ScanBuffer();
}

void TCustomParser::ParseScript(const std::vector<std::string>& lines, TCustomObjs* objs) {
    SetObjs(objs);
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines[i];
    }
    AssignTxt(std::move(text));
    linesCount_ = static_cast<int>(lines.size());
    DoProgressUpdate(0, linesCount_);
    DoLogNextLine("Parse Script: " + ScriptFileName);
    ParseText();
    SetBuffer(nullptr);
}

void TCustomParser::ParseFile(const std::string& fileName, TCustomObjs* objs) {
    SetObjs(objs);
    SetBuffer(nullptr);
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error)) {
        ErrMsg("File not found: " + fileName);
        return;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        ErrMsg("Cannot read file: " + fileName);
        return;
    }

    // Decoded in chunks, so that a script held in a temporary file is never whole in memory.
    parser_detail::ScriptDecoder decoder;
    const bool toFile = ParseBuffer == pb_File;
    const std::filesystem::path temporary = toFile ? TemporaryScriptPath() : std::filesystem::path();
    std::ofstream out;
    if (toFile) {
        std::filesystem::remove(temporary, error);
        out.open(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            ErrMsg("Cannot write file: " + temporary.string());
            return;
        }
    }
    std::string text;
    auto emit = [&](const std::string& piece) {
        if (toFile)
            out << piece;
        else
            text += piece;
    };
    char chunk[10240];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        emit(decoder.Feed(std::string_view(chunk, static_cast<std::size_t>(in.gcount()))));
    emit(decoder.Finish());
    linesCount_ = decoder.LineFeeds() + 1;

    if (toFile) {
        out.close();
        try {
            if (!out)
                throw std::runtime_error("Cannot write file: " + temporary.string());
            SetBuffer(parser_detail::TemporaryFileBuffer(temporary));
        } catch (const std::exception& failure) {
            std::filesystem::remove(temporary, error);
            ErrMsg(failure.what());
            return;
        }
    } else {
        SetBuffer(parser_detail::MemoryBuffer(std::move(text)));
    }
    ScanBuffer();
    DoProgressUpdate(0, linesCount_);
    DoLogNextLine("Parse file: " + fileName);
    ParseText();
    SetBuffer(nullptr); // deletes the temporary file
}

void TCustomParser::ParseText() {
    GetSy();
    while (sy_ != sy_EOF)
        GetSy();
}

// ---------------------------------------------------------------------------------------------
// Characters

char32_t TCustomParser::DecodeAt(std::size_t ix, std::size_t& length) const {
    const std::size_t size = buffer_->Size();
    length = 0;
    if (ix == 0 || ix > size)
        return 0;
    char bytes[4];
    const std::size_t available = std::min<std::size_t>(4, size - (ix - 1));
    for (std::size_t i = 0; i < available; ++i)
        bytes[i] = static_cast<char>(buffer_->Byte(ix - 1 + i));
    const std::string_view sequence(bytes, available);
    const int sequenceLength = platform::utf8SequenceLength(sequence);
    if (sequenceLength <= 0) {
        length = 1; // a byte that starts no character reads as a replacement character
        return 0xFFFD;
    }
    length = static_cast<std::size_t>(sequenceLength);
    return platform::decodeUtf8Sequence(sequence, sequenceLength);
}

char32_t TCustomParser::GetChar() {
    std::size_t length = 0;
    const char32_t c = DecodeAt(ix_, length);
    if (length == 0) {
        ch_ = 0;
        chIx_ = ix_;
        return ch_;
    }
    if (c == '\n') {
        ++line_;
        chPos_ = 0;
        DoProgressUpdate(line_, linesCount_);
    }
    ch_ = c == 26 ? U' ' : c; // Ctrl-Z reads as a blank
    chIx_ = ix_;
    ix_ += length;
    ++chPos_;
    return ch_;
}

char32_t TCustomParser::CurCh() const {
    std::size_t length = 0;
    return DecodeAt(ix_, length);
}

char32_t TCustomParser::NextCh() const {
    std::size_t length = 0;
    DecodeAt(ix_, length);
    return length ? DecodeAt(ix_ + length, length) : 0;
}

std::string TCustomParser::CopyTxt(std::size_t from, std::size_t count) const {
    return from == 0 ? std::string() : buffer_->Copy(from - 1, count);
}

bool TCustomParser::TextAt(std::size_t from, std::string_view text) const {
    if (from == 0 || from - 1 + text.size() > buffer_->Size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (buffer_->Byte(from - 1 + i) != static_cast<unsigned char>(text[i]))
            return false;
    return true;
}

std::size_t TCustomParser::LengthTxt() const { return buffer_->Size(); }

TScanPosition TCustomParser::SavePosition() const {
    return TScanPosition{line_, chPos_, ix_, chIx_, ch_, sy_, syBegPos_, ident_};
}

void TCustomParser::RestorePosition(const TScanPosition& position) {
    line_ = position.Line;
    chPos_ = position.ChPos;
    ix_ = position.ix;
    chIx_ = position.ChIx;
    ch_ = position.Ch;
    sy_ = position.Sy;
    syBegPos_ = position.SyBegPos;
    ident_ = position.Ident;
    syResWord_ = &ResWordBySymbol(sy_);
}

// ---------------------------------------------------------------------------------------------
// Symbols

void TCustomParser::GetSy() {
    if (HoldTerminator && sy_ == sy_Term)
        return;
    // Repeats only after a character no symbol starts with, which is reported and passed over.
    for (;;) {
        sy_ = sy_EOF;
        syBegPos_ = chIx_;
        while (SkipText()) {
        }
        if (AtEndOfText()) {
            syBegPos_ = ix_;
            ident_.clear();
            break;
        }
        syBegPos_ = chIx_;
        const std::size_t before = ix_;
        DoBeforeGetSy();
        DoGetSy();
        DoAfterGetSy();
        if (ix_ == before && !AtEndOfText()) {
            // Whatever a dialect's reading left behind, scanning always moves on.
            DoErrorMessage("Parser " + std::string(ClassName()) + " deadlock.");
            GetChar();
        }
        if (sy_ != sy_EOF || AtEndOfText())
            break;
    }
    syResWord_ = &ResWordBySymbol(sy_);
    if (DebugLogOptions.Contains(dlSymbol) && sy_ != sy_EOF)
        LogSymbol();
}

void TCustomParser::LogSymbol() {
    std::string line = "(" + std::to_string(line_) + "," + std::to_string(chPos_) + ") " +
                       ResWordBySymbol(sy_) + ": " + std::to_string(sy_);
    if (sy_ == sy_Ident)
        line += " =" + ident_;
    else if (sy_ == sy_Integer)
        line += " =" + std::to_string(intVal_);
    else if (sy_ == sy_String)
        line += " =" + std::string(1, strQuoteCh_) + strVal_ + std::string(1, strQuoteCh_);
    DoDbgMsg(line);
}

bool TCustomParser::SkipText() {
    bool skipped = false;
    while (IsBlank(ch_)) {
        GetChar();
        skipped = true;
    }
    return skipped;
}

void TCustomParser::DoBeforeGetSy() {
    ident_.clear();
    while (IsBlank(ch_))
        GetChar();
}

bool TCustomParser::CheckTermStr() {
    if (termStr_.empty() || !TextAt(chIx_, termStr_))
        return false;
    sy_ = sy_Term;
    const std::size_t end = chIx_ + termStr_.size();
    while (chIx_ < end && !AtEndOfText())
        GetChar();
    return true;
}

void TCustomParser::DoGetSy() {
    syBegPos_ = chIx_;
    const char32_t c = ch_;
    if (c == '"' || c == '\'' || c == '`') {
        sy_ = sy_String;
        strQuoteCh_ = static_cast<char>(c);
        strVal_ = GetStr();
        return;
    }
    if (c == '.' && IsDigit(CurCh())) {
        GetInt();
        return;
    }
    if (IsDigit(c)) {
        sy_ = sy_Integer;
        GetInt();
        return;
    }
    if (IsLetter(c)) {
        GetIdent();
        sy_ = FindResWord(UpperText(ident_));
        if (sy_ == sy_Ident)
            ident_ = UpperText(ident_);
        return;
    }

    const char32_t next = CurCh();
    int length = 1;
    switch (c) {
    case '<':
        sy_ = next == '=' ? sy_LessEqual : next == '>' ? sy_NotEqual : sy_Less;
        length = next == '=' || next == '>' ? 2 : 1;
        break;
    case '>':
        sy_ = next == '=' ? sy_GreaterEqual : sy_Greater;
        length = next == '=' ? 2 : 1;
        break;
    case '=':
        sy_ = next == '=' ? sy_EqualEqual : sy_Equal;
        length = next == '=' ? 2 : 1;
        break;
    case '!':
        if (next != '=') {
            ErrMsg("Invalid char in source text: \"!\".");
            break;
        }
        sy_ = sy_NotEqual;
        length = 2;
        break;
    case '%': sy_ = sy_Percent; break;
    case '&': sy_ = sy_Ampersand; break;
    case '(': sy_ = sy_LParen; break;
    case ')': sy_ = sy_RParen; break;
    case '*': sy_ = sy_Star; break;
    case '+': sy_ = sy_Plus; break;
    case ',': sy_ = sy_Comma; break;
    case '-': sy_ = sy_Minus; break;
    case '.': sy_ = sy_Dot; break;
    case '/': sy_ = sy_Slash; break;
    case ':': sy_ = sy_Colon; break;
    case ';': sy_ = sy_Semicolon; break;
    case '@': sy_ = sy_AtSign; break;
    case '[': sy_ = sy_LBracket; break;
    case '\\': sy_ = sy_Backslash; break;
    case ']': sy_ = sy_RBracket; break;
    default: ErrMsg("Invalid char in source text: \"" + Utf8Of(c) + "\"."); break;
    }
    for (int i = 0; i < length; ++i)
        GetChar();
}

void TCustomParser::GetIdent() {
    const std::size_t start = chIx_;
    while (IsIdentChar(ch_))
        GetChar();
    ident_ = CopyTxt(start, chIx_ - start);
}

void TCustomParser::GetInt() {
    strVal_.clear();
    bool dot = true, exponent = true, sign = false;
    auto accepted = [&](char32_t c) {
        c = Upper(c);
        return IsDigit(c) || (dot && c == '.') || (exponent && c == 'E') ||
               (sign && (c == '+' || c == '-'));
    };
    while (!AtEndOfText()) {
        const char32_t next = CurCh();
        if (!accepted(next) || (next == '.' && NextCh() == '.'))
            break;
        strVal_ += static_cast<char>(ch_);
        if (next == '.') {
            dot = false;
        } else if (Upper(next) == 'E') {
            sign = true;
            dot = exponent = false;
        } else if (next == '+' || next == '-') {
            sign = false;
        }
        GetChar();
    }
    if (!AtEndOfText()) {
        strVal_ += static_cast<char>(ch_);
        GetChar();
    }
    if (strVal_.empty()) {
        ErrMsg("Missing: Integer(Float) value...");
        return;
    }
    // An exponent makes a floating-point literal as much as a decimal point does.
    if (strVal_.find_first_of(".eE") == std::string::npos) {
        sy_ = sy_Integer;
        intVal_ = 0;
        std::from_chars(strVal_.data(), strVal_.data() + strVal_.size(), intVal_);
        return;
    }
    sy_ = sy_Float;
    floatVal_ = std::strtod(strVal_.c_str(), nullptr);
}

std::string TCustomParser::GetStr() {
    const char32_t quote = ch_;
    std::string value;
    GetChar();
    while (!AtEndOfText()) {
        if (ch_ == quote) {
            if (CurCh() != quote) {
                GetChar();
                break;
            }
            GetChar(); // a doubled quote stands for one
        }
        appendUtf8(value, ch_);
        GetChar();
    }
    return value;
}

void TCustomParser::SkipLiteral() {
    const char32_t quote = ch_;
    GetChar();
    while (!AtEndOfText() && ch_ != quote)
        GetChar();
    if (!AtEndOfText())
        GetChar(); // a doubled quote just opens the literal again
}

std::string TCustomParser::GetExpr() {
    while (IsBlank(ch_))
        GetChar();
    if (AtEndOfText())
        return {};
    const std::size_t start = chIx_;
    if (ch_ != '(') {
        GetChar();
    } else {
        // Parentheses inside string literals and quoted names do not count.
        int depth = 0;
        while (!AtEndOfText()) {
            if (ch_ == '\'' || ch_ == '"') {
                SkipLiteral();
                continue;
            }
            if (ch_ == '(')
                ++depth;
            else if (ch_ == ')')
                --depth;
            GetChar();
            if (depth == 0)
                break;
        }
    }
    std::string text = CopyTxt(start, chIx_ - start);
    if (DebugLogOptions.Contains(dlExpr))
        DoDbgMsg("Expression: " + text);
    return text;
}

void TCustomParser::GetNumDec(int& precision, int& scale) {
    precision = 9;
    scale = 0;
    GetSy();
    if (sy_ != sy_LParen)
        return;
    GetAndTestSy(sy_Integer);
    precision = static_cast<int>(intVal_);
    GetSy();
    if (sy_ == sy_Comma) {
        GetAndTestSy(sy_Integer);
        scale = static_cast<int>(intVal_);
        GetSy();
    }
    TestAndGetSy(sy_RParen);
}

void TCustomParser::TestSy(std::uint8_t code) {
    if (sy_ == code)
        return;
    std::string text = "Missing: " + (code == sy_Term ? std::string("<TERM>") : ResWordBySymbol(code)) +
                       " (" + SyResWord();
    if (sy_ == sy_Ident)
        text += ": " + ident_;
    ErrMsg(text + ")");
}

void TCustomParser::TestAndGetSy(std::uint8_t code) {
    TestSy(code);
    GetSy();
}

void TCustomParser::GetAndTestSy(std::uint8_t code) {
    GetSy();
    TestSy(code);
}

bool TCustomParser::IsIdent(std::string_view word) const {
    return sy_ == sy_Ident && UpperText(ident_) == UpperText(word);
}

void TCustomParser::TestIdent(std::string_view word) {
    if (!IsIdent(word))
        ErrMsg("Must be: " + UpperText(word));
}

// ---------------------------------------------------------------------------------------------
// Messages, events and statements

void TCustomParser::ErrMsg(const std::string& text) {
    if (!msgMngr_.IsErr())
        DoErrorMessage(text + GetScriptInfo());
    msgMngr_.AddScriptMsg(text, ScriptFileName, GetPosX(), GetPosY(), mt_Err);
}

void TCustomParser::WrnMsg(const std::string& text) {
    msgMngr_.AddScriptMsg(text, ScriptFileName, GetPosX(), GetPosY(), mt_Wrn);
}

std::string TCustomParser::GetScriptInfo() const {
    return "\r\nScript: " + ScriptFileName + " Line:" + std::to_string(line_) +
           " Pos:" + std::to_string(chPos_) + "\r\n";
}

void TCustomParser::DoErrorMessage(const std::string& text) {
    if (OnErrorMessage)
        OnErrorMessage(*this, text);
    else
        ShowMessage("Error: " + text);
}

void TCustomParser::DoLogNextLine(const std::string& text) {
    if (OnLogNextLine) {
        OnLogNextLine(*this, text);
        return;
    }
    TCustomDBStructure* structure = objs_ ? objs_->DBStructure() : nullptr;
    TCustomExtract* extractor = structure ? structure->Extractor() : nullptr;
    if (extractor && extractor->OnLogNextLine)
        extractor->OnLogNextLine(*this, text);
}

void TCustomParser::DoDbgMsg(const std::string& text) {
    if (OnDebugMessage)
        OnDebugMessage(*this, text);
    else
        DoLogNextLine(text);
}

void TCustomParser::DoProgressUpdate(int position, int total) {
    if (UpdateProgress && OnProgressUpdate)
        OnProgressUpdate(*this, position, total);
}

TStatement* TCustomParser::DoAddStatement(TStatType typ, std::string_view objName,
                                          TDbObject objType, TDbOperation operation,
                                          std::string_view ownName) {
    const std::size_t end = std::max(syBegPos_, stBegPos_);
    return DoAddStatement(TrimText(CopyTxt(stBegPos_, end - stBegPos_)), typ, objName, objType,
                          operation, ownName);
}

TStatement* TCustomParser::DoAddStatement(std::string_view text, TStatType typ,
                                          std::string_view objName, TDbObject objType,
                                          TDbOperation operation, std::string_view ownName) {
    TStatement* statement = nullptr;
    if (OnAddStatement)
        OnAddStatement(*this, std::string(text), typ, std::string(objName), objType, operation,
                       std::string(ownName), statement);
    return statement;
}

} // namespace dbc
