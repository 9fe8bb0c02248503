#pragma once

// Private to the parser framework: where the text being scanned is held, and the decoding of
// script files into the UTF-8 text with CR LF line breaks that the scanner reads.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace dbc::parser_detail {

// The scanned text as bytes of UTF-8, read at random positions (0-based).
class TextBuffer {
public:
    virtual ~TextBuffer() = default;
    virtual std::size_t Size() const = 0;
    // The byte at pos, which must be below Size().
    virtual unsigned char Byte(std::size_t pos) const = 0;
    // Up to count bytes from pos; fewer at the end of the text.
    virtual std::string Copy(std::size_t pos, std::size_t count) const = 0;
};

std::unique_ptr<TextBuffer> MemoryBuffer(std::string text);
// The text of a file, read through a window of it; the file is deleted with the buffer.
std::unique_ptr<TextBuffer> TemporaryFileBuffer(std::filesystem::path file);

// Converts the bytes of a script file, fed in chunks of any size, into UTF-8 with CR LF line
// breaks: UTF-16LE after an FF FE mark; otherwise UTF-8 (a leading mark dropped), except that a
// byte that starts no valid UTF-8 sequence is taken as Windows-1252, the code page scripts of
// the Windows tools are written in.
class ScriptDecoder {
public:
    std::string Feed(std::string_view bytes);
    // What is still held back at the end of the input.
    std::string Finish();
    // Line feeds of the input seen so far.
    int LineFeeds() const { return lineFeeds_; }

private:
    void Emit(char32_t c, std::string& out);
    std::string DecodeUtf8(bool final);
    std::string DecodeUtf16(bool final);

    enum class Mode { Unknown, Utf8, Utf16 } mode_ = Mode::Unknown;
    std::string pending_;
    bool pendingCr_ = false;
    int lineFeeds_ = 0;
};

} // namespace dbc::parser_detail
