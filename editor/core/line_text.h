#pragma once
// The text of one line: owned bytes plus an authoritative length. Lines may
// hold NUL bytes (binary files), so the length is never recomputed from the
// bytes; a terminating NUL is kept after them for code that wants a C string.
//
// A line's bytes live either in their own malloc'd block or, for lines read
// from a file, in a shared text block that holds the whole file's text (one
// allocation instead of one per line). A text block is released when the last
// line in it is freed; either way a LineText owns its text outright and can be
// moved anywhere.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace voren {

struct TextBlock;

struct LineText {
    char* data = nullptr; // length + 1 bytes; null for the empty line
    int32_t length = 0;
    bool in_block = false; // data lies in a shared text block

    LineText() = default;
    explicit LineText(std::string_view text) { assign(text); }
    LineText(LineText&& other) noexcept
        : data(other.data), length(other.length), in_block(other.in_block) {
        other.data = nullptr;
        other.length = 0;
        other.in_block = false;
    }
    LineText& operator=(LineText&& other) noexcept {
        if (this != &other) {
            release();
            data = other.data;
            length = other.length;
            in_block = other.in_block;
            other.data = nullptr;
            other.length = 0;
            other.in_block = false;
        }
        return *this;
    }
    LineText(const LineText&) = delete;
    LineText& operator=(const LineText&) = delete;
    ~LineText() { release(); }

    std::string_view view() const { return data ? std::string_view(data, size_t(length)) : ""; }
    const char* c_str() const { return data ? data : ""; }
    LineText copy() const { return LineText(view()); }

    void assign(std::string_view text);
    // Cuts the text to `new_length` bytes (no-op when already shorter).
    void cut(int32_t new_length);

    [[noreturn]] static void throw_allocation_failure(size_t size);

  private:
    void release() {
        if (in_block)
            release_block_text(data);
        else
            std::free(data);
        data = nullptr;
        in_block = false;
    }
    static void release_block_text(char* data);
    friend struct TextBlockWriter;
};

// Fills one shared text block with the lines of a file being read.
struct TextBlockWriter {
    TextBlock* block = nullptr;
    size_t used = 0;

    // A block for up to `capacity` bytes of text (line bytes plus one NUL each).
    explicit TextBlockWriter(size_t capacity);
    TextBlockWriter(const TextBlockWriter&) = delete;
    TextBlockWriter& operator=(const TextBlockWriter&) = delete;
    ~TextBlockWriter(); // the block goes once its last line is freed

    // A line holding `text`, from the block while it has room.
    LineText make(std::string_view text);
};

// Text blocks currently alive (for tests).
size_t live_text_blocks();

} // namespace voren
