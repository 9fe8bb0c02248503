#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Reads INI files the way the Windows profile reader does: section and key names compared
// without regard to ASCII case, blanks around names and values dropped, a UTF-8 byte-order
// mark tolerated, backslashes and semicolons inside values kept, the first of duplicate keys
// wins, no continuation lines and no line-length limit. A value wholly enclosed in matching
// quotes ("x" or 'x') loses them. Lines end with CR LF, LF or CR; a line starting with ';' is
// a comment; keys before the first section header are ignored. A missing file, section or key
// reads as the default; a key present with an empty value reads as empty.
class IniFile {
public:
    IniFile() = default;
    static IniFile parse(std::string_view text);
    // A file that does not exist yields an empty IniFile; one that exists but cannot be read
    // raises std::runtime_error naming the file.
    static IniFile load(const std::string& path);

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const;

private:
    struct Entry {
        std::string section;
        std::string key;
        std::string value;
    };
    std::vector<Entry> entries_;
};

} // namespace platform
