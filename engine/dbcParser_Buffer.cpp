#include "engine/dbcParser_Buffer.h"

#include "platform/Utf8.h"

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


} // namespace

std::unique_ptr<TextBuffer> MemoryBuffer(std::string text) {
    return std::make_unique<StringTextBuffer>(std::move(text));
}

std::unique_ptr<TextBuffer> TemporaryFileBuffer(std::filesystem::path file) {
    return std::make_unique<FileTextBuffer>(std::move(file));
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
    platform::appendUtf8(out, c);
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
        int length = platform::utf8SequenceLength(rest);
        if (length < 0 && !final)
            break; // the rest of the sequence comes with the next chunk
        if (length <= 0) {
            Emit(platform::windows1252CodePoint(static_cast<unsigned char>(rest[0])), out);
            ++pos;
            continue;
        }
        Emit(platform::decodeUtf8Sequence(rest, length), out);
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
