#include "platform/FbApi.h"

#include "platform/FbClient.h"

namespace platform::fbapi {

void check(const Api& api, const Status& status) {
    if (!failed(status))
        return;
    // Firebird's tools print the first line as it is and the later ones after a "-".
    std::string message;
    const ISC_STATUS* cursor = status.data();
    char line[1024];
    while (api.fb_interpret(line, sizeof line, &cursor) > 0) {
        if (!message.empty())
            message += "\n-";
        message += line;
    }
    char sqlState[6] = {};
    api.fb_sqlstate(sqlState, status.data());
    throw FbError(message, status[1], static_cast<int>(api.isc_sqlcode(status.data())), sqlState);
}

void ParameterBlock::add(char tag, std::string_view text) {
    if (text.size() > 255)
        throw FbError("a connection or transaction parameter is longer than 255 bytes");
    bytes_ += tag;
    bytes_ += static_cast<char>(text.size());
    bytes_ += text;
}

void ParameterBlock::add(char tag, std::int32_t value) {
    bytes_ += tag;
    bytes_ += static_cast<char>(4);
    for (int shift = 0; shift < 32; shift += 8)
        bytes_ += static_cast<char>((static_cast<std::uint32_t>(value) >> shift) & 0xFF);
}

std::uint32_t readInteger(const char* bytes, int length) {
    std::uint32_t value = 0;
    for (int i = 0; i < length && i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return value;
}

unsigned short sqlLength(std::string_view sql) {
    if (sql.find('\0') != std::string_view::npos)
        throw FbError("the SQL text holds a NUL character");
    return sql.size() <= 0xFFFF ? static_cast<unsigned short>(sql.size()) : 0;
}

} // namespace platform::fbapi
