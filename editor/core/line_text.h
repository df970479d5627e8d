#pragma once
// The text of one line: owned bytes plus an authoritative length. Lines may
// hold NUL bytes (binary files), so the length is never recomputed from the
// bytes; a terminating NUL is kept after them for code that wants a C string.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace voren {

struct LineText {
    char* data = nullptr; // malloc'd, length + 1 bytes; null for the empty line
    int32_t length = 0;

    LineText() = default;
    explicit LineText(std::string_view text) { assign(text); }
    LineText(LineText&& other) noexcept : data(other.data), length(other.length) {
        other.data = nullptr;
        other.length = 0;
    }
    LineText& operator=(LineText&& other) noexcept {
        if (this != &other) {
            std::free(data);
            data = other.data;
            length = other.length;
            other.data = nullptr;
            other.length = 0;
        }
        return *this;
    }
    LineText(const LineText&) = delete;
    LineText& operator=(const LineText&) = delete;
    ~LineText() { std::free(data); }

    std::string_view view() const { return data ? std::string_view(data, size_t(length)) : ""; }
    const char* c_str() const { return data ? data : ""; }
    LineText copy() const { return LineText(view()); }

    void assign(std::string_view text) {
        char* fresh = nullptr;
        if (!text.empty()) {
            fresh = static_cast<char*>(std::malloc(text.size() + 1));
            if (!fresh) throw_allocation_failure(text.size() + 1);
            std::memcpy(fresh, text.data(), text.size());
            fresh[text.size()] = '\0';
        }
        std::free(data);
        data = fresh;
        length = int32_t(text.size());
    }
    // Cuts the text to `new_length` bytes (no-op when already shorter).
    void cut(int32_t new_length) {
        if (new_length >= length) return;
        if (new_length <= 0) {
            std::free(data);
            data = nullptr;
            length = 0;
            return;
        }
        char* smaller = static_cast<char*>(std::realloc(data, size_t(new_length) + 1));
        if (smaller) data = smaller;
        data[new_length] = '\0';
        length = new_length;
    }

    [[noreturn]] static void throw_allocation_failure(size_t size);
};

} // namespace voren
