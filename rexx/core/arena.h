#pragma once
// A bump allocator for the tokens' texts and the program tree.
//
// Everything a program's front end builds lives in one arena and is released
// at once with it, so the nodes are plain structs with raw pointers and no
// destructors. Only trivially destructible types may be placed here.
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace tolma {

class Arena {
  public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    Arena(Arena&&) = default;
    Arena& operator=(Arena&&) = default;

    void* allocate(std::size_t size, std::size_t align) {
        std::size_t at = (used_ + align - 1) & ~(align - 1);
        if (chunks_.empty() || at + size > capacity_) {
            grow(size + align);
            at = (used_ + align - 1) & ~(align - 1);
        }
        used_ = at + size;
        bytes_ += size;
        return chunks_.back().get() + at;
    }

    template <class T, class... Args>
    T* make(Args&&... args) {
        static_assert(std::is_trivially_destructible_v<T>, "arena objects are never destroyed");
        return new (allocate(sizeof(T), alignof(T))) T{std::forward<Args>(args)...};
    }

    template <class T>
    T* make_array(std::size_t count) {
        static_assert(std::is_trivially_destructible_v<T>, "arena objects are never destroyed");
        T* items = static_cast<T*>(allocate(sizeof(T) * (count ? count : 1), alignof(T)));
        for (std::size_t i = 0; i < count; ++i)
            new (items + i) T{};
        return items;
    }

    // A NUL-terminated copy of `length` bytes (which may themselves hold NULs).
    char* copy_text(const char* text, std::size_t length) {
        char* copy = static_cast<char*>(allocate(length + 1, 1));
        if (length) std::memcpy(copy, text, length);
        copy[length] = '\0';
        return copy;
    }

    // Bytes handed out so far (for the benchmark's memory figure).
    std::size_t bytes_used() const { return bytes_; }
    std::size_t bytes_reserved() const { return reserved_; }

  private:
    static constexpr std::size_t chunk_size = 64 * 1024;

    void grow(std::size_t at_least) {
        std::size_t size = at_least > chunk_size ? at_least : chunk_size;
        chunks_.push_back(std::unique_ptr<char[]>(new char[size]));
        capacity_ = size;
        used_ = 0;
        reserved_ += size;
    }

    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    std::size_t bytes_ = 0;
    std::size_t reserved_ = 0;
};

} // namespace tolma
