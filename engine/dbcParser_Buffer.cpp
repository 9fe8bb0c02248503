#include "engine/dbcParser_Buffer.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace dbc::parser_detail {

namespace {

class StringTextBuffer final : public TextBuffer {
public:
    explicit StringTextBuffer(std::string text) : text_(std::move(text)) {}
    std::size_t Size() const override { return text_.size(); }
    unsigned char Byte(std::size_t pos) const override { return static_cast<unsigned char>(text_[pos]); }
    std::string Copy(std::size_t pos, std::size_t count) const override {
        return pos < text_.size() ? text_.substr(pos, count) : std::string();
    }

private:
    std::string text_;
};

// Keeps one window of the file in memory; the scanner reads forward, so a window is read once.
class FileTextBuffer final : public TextBuffer {
public:
    explicit FileTextBuffer(std::filesystem::path file) : path_(std::move(file)) {
        in_.open(path_, std::ios::binary);
        if (!in_)
            throw std::runtime_error("Cannot read file: " + path_.string());
        size_ = static_cast<std::size_t>(std::filesystem::file_size(path_));
    }
    ~FileTextBuffer() override {
        in_.close();
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }

    std::size_t Size() const override { return size_; }
    unsigned char Byte(std::size_t pos) const override {
        if (pos < windowStart_ || pos >= windowStart_ + window_.size()) {
            windowStart_ = pos - std::min<std::size_t>(pos, kWindow / 4);
            window_ = Read(windowStart_, kWindow);
        }
        return static_cast<unsigned char>(window_[pos - windowStart_]);
    }
    std::string Copy(std::size_t pos, std::size_t count) const override { return Read(pos, count); }

private:
    static constexpr std::size_t kWindow = 64 * 1024;

    std::string Read(std::size_t pos, std::size_t count) const {
        if (pos >= size_)
            return {};
        count = std::min(count, size_ - pos);
        std::string bytes(count, '\0');
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(pos));
        in_.read(bytes.data(), static_cast<std::streamsize>(count));
        bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in_.gcount(), 0)));
        return bytes;
    }

    std::filesystem::path path_;
    mutable std::ifstream in_;
    std::size_t size_ = 0;
    mutable std::size_t windowStart_ = 0;
    mutable std::string window_;
};

// Windows-1252 code points of the bytes 0x80 to 0x9F; the five unassigned bytes keep their value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Cp1252(unsigned char b) {
    return b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : b;
}

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

} // namespace

std::unique_ptr<TextBuffer> MemoryBuffer(std::string text) {
    return std::make_unique<StringTextBuffer>(std::move(text));
}

std::unique_ptr<TextBuffer> TemporaryFileBuffer(std::filesystem::path file) {
    return std::make_unique<FileTextBuffer>(std::move(file));
}

int Utf8SequenceLength(std::string_view s) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0)
            low = 0xA0; // no overlong forms
        if (b0 == 0xED)
            high = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0)
            low = 0x90;
        if (b0 == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if (static_cast<std::size_t>(i) >= s.size())
            return -1;
        const auto b = static_cast<unsigned char>(s[i]);
        if (i == 1 ? (b < low || b > high) : !IsContinuation(b))
            return 0;
    }
    return length;
}

char32_t DecodeUtf8Sequence(std::string_view s, int length) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (length == 1)
        return b0;
    char32_t c = b0 & (0x7F >> length);
    for (int i = 1; i < length; ++i)
        c = (c << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void ScriptDecoder::Emit(char32_t c, std::string& out) {
    // CR LF, a lone CR and a lone LF all become one CR LF.
    if (c == '\n' && pendingCr_) {
        pendingCr_ = false;
        return;
    }
    pendingCr_ = c == '\r';
    if (c == '\r' || c == '\n') {
        out += "\r\n";
        ++lineFeeds_;
        return;
    }
    AppendUtf8(out, c);
}

std::string ScriptDecoder::Feed(std::string_view bytes) {
    pending_ += bytes;
    if (mode_ == Mode::Unknown) {
        if (pending_.size() < 3 && pending_ != "\xFF\xFE")
            return {};
        if (pending_.starts_with("\xFF\xFE")) {
            mode_ = Mode::Utf16;
            pending_.erase(0, 2);
        } else {
            mode_ = Mode::Utf8;
            if (pending_.starts_with("\xEF\xBB\xBF"))
                pending_.erase(0, 3);
        }
    }
    return mode_ == Mode::Utf16 ? DecodeUtf16(false) : DecodeUtf8(false);
}

std::string ScriptDecoder::Finish() {
    if (mode_ == Mode::Unknown)
        mode_ = Mode::Utf8;
    return mode_ == Mode::Utf16 ? DecodeUtf16(true) : DecodeUtf8(true);
}

std::string ScriptDecoder::DecodeUtf8(bool final) {
    std::string out;
    std::size_t pos = 0;
    while (pos < pending_.size()) {
        std::string_view rest(pending_.data() + pos, pending_.size() - pos);
        int length = Utf8SequenceLength(rest);
        if (length < 0 && !final)
            break; // the rest of the sequence comes with the next chunk
        if (length <= 0) {
            Emit(Cp1252(static_cast<unsigned char>(rest[0])), out);
            ++pos;
            continue;
        }
        Emit(DecodeUtf8Sequence(rest, length), out);
        pos += static_cast<std::size_t>(length);
    }
    pending_.erase(0, pos);
    return out;
}

std::string ScriptDecoder::DecodeUtf16(bool final) {
    std::string out;
    std::size_t pos = 0;
    auto unit = [&](std::size_t at) {
        return static_cast<char16_t>(static_cast<unsigned char>(pending_[at]) |
                                     (static_cast<unsigned char>(pending_[at + 1]) << 8));
    };
    while (pos + 1 < pending_.size()) {
        char16_t u = unit(pos);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (pos + 3 >= pending_.size() && !final)
                break;
            if (pos + 3 < pending_.size()) {
                char16_t low = unit(pos + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    Emit(0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00), out);
                    pos += 4;
                    continue;
                }
            }
            Emit(0xFFFD, out);
        } else {
            Emit(u >= 0xDC00 && u <= 0xDFFF ? char32_t{0xFFFD} : char32_t{u}, out);
        }
        pos += 2;
    }
    pending_.erase(0, pos);
    if (final && !pending_.empty()) {
        Emit(0xFFFD, out); // an odd last byte
        pending_.clear();
    }
    return out;
}

} // namespace dbc::parser_detail
