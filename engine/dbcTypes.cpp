#include "engine/dbcTypes.h"

#include <charconv>

namespace dbc {

bool DebugLog = false;
bool TerminateRunning = false;

std::string GenScriptTerm(TDatabaseType databaseType) {
    switch (databaseType) {
    case dbSybaseASA:
    case dbSybaseASE:
        return "\r\ngo\r\n";
    case dbMSSQL:
        return "\r\nGO\r\n";
    default:
        return ";\r\n";
    }
}

std::string ScriptQuotedStr(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 2);
    result += '\'';
    for (char c : text) {
        result += c;
        if (c == '\'')
            result += '\'';
    }
    result += '\'';
    return result;
}

std::string SchObjName(std::string_view schema, std::string_view name) {
    if (schema.empty())
        return std::string(name);
    std::string result(schema);
    result += '.';
    result += name;
    return result;
}

bool TryStrToInt(std::string_view text, int& value) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return false;
    }
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

} // namespace dbc
