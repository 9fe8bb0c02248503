#include "platform/FbStatement.h"

namespace platform {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isNameChar(char c) { return isLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '$'; }

// The end of the literal, quoted name or comment starting at `at`, or npos when none starts
// there. Unterminated ones run to the end of the text.
size_t skipUnparsed(std::string_view sql, size_t at) {
    const auto until = [&](std::string_view closing, size_t from) {
        const size_t end = sql.find(closing, from);
        return end == std::string_view::npos ? sql.size() : end + closing.size();
    };
    const char c = sql[at];
    const char next = at + 1 < sql.size() ? sql[at + 1] : '\0';
    if (c == '\'' || c == '"') {
        // A doubled quote is part of the text.
        size_t end = at + 1;
        while ((end = until(std::string_view(&c, 1), end)) < sql.size() && sql[end] == c)
            ++end;
        return end;
    }
    if (c == '-' && next == '-')
        return until("\n", at + 2);
    if (c == '/' && next == '*')
        return until("*/", at + 2);
    // Firebird's alternative literal q'<delimiter>...<delimiter>'.
    const bool wordStart = at == 0 || !isNameChar(sql[at - 1]);
    if ((c == 'q' || c == 'Q') && next == '\'' && wordStart && at + 2 < sql.size()) {
        const char open = sql[at + 2];
        const std::string_view pairs = "()[]{}<>";
        const size_t pair = pairs.find(open);
        const char close = pair != std::string_view::npos && pair % 2 == 0 ? pairs[pair + 1] : open;
        const char closing[] = {close, '\''};
        return until(std::string_view(closing, 2), at + 3);
    }
    return std::string_view::npos;
}

} // namespace

FbParsedSql parseNamedParameters(std::string_view sql) {
    FbParsedSql parsed;
    parsed.sql.reserve(sql.size());
    size_t at = 0;
    while (at < sql.size()) {
        if (const size_t end = skipUnparsed(sql, at); end != std::string_view::npos) {
            parsed.sql += sql.substr(at, end - at);
            at = end;
            continue;
        }
        if (sql[at] == ':' && at + 1 < sql.size() &&
            (isLetter(sql[at + 1]) || sql[at + 1] == '_')) {
            size_t end = at + 1;
            while (end < sql.size() && isNameChar(sql[end]))
                ++end;
            parsed.names.emplace_back(sql.substr(at + 1, end - at - 1));
            parsed.sql += '?';
            at = end;
            continue;
        }
        parsed.sql += sql[at++];
    }
    return parsed;
}

} // namespace platform
