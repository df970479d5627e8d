#pragma once
// RexxValue: the value every expression yields and every variable holds.
//
// A value is either a string (owned bytes, any byte allowed, length
// authoritative) or a number (a double plus a count of decimal places).
// Strings of up to 39 bytes live inside the value; longer ones on the heap.
//
// A string that is used as a number is recognised once: the double and its
// decimal places are cached in the value next to the text, and so is the
// verdict "not a number". The text stays authoritative, so x = '007' keeps
// its spelling after x + 1 has been computed.
//
// A number's text depends on NUMERIC DIGITS and FORM; it is formatted on
// demand and cached in the value's buffer together with the settings that
// produced it, so a loop index used as a tail is formatted once per value.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace tolma {

// NUMERIC DIGITS, FUZZ and FORM.
struct NumericSettings {
    int digits = 9; // 1..15
    int fuzz = 0;   // 0..digits-1
    bool engineering = false;
};

constexpr int kMaxDigits = 15;
constexpr int kDefaultDigits = 9;

// One heap buffer kept between a value that is overwritten and the next
// long result made: a loop assigning long results to the same variable then
// swaps buffers instead of allocating and freeing one per pass.
struct SpareBuffer {
    static constexpr uint32_t kMaxKept = 4096;
    char* data = nullptr;
    uint32_t cap = 0; // bytes usable, not counting the terminating zero

    SpareBuffer() = default;
    SpareBuffer(const SpareBuffer&) = delete;
    SpareBuffer& operator=(const SpareBuffer&) = delete;
    SpareBuffer(SpareBuffer&& o) noexcept : data(o.data), cap(o.cap) {
        o.data = nullptr;
        o.cap = 0;
    }
    SpareBuffer& operator=(SpareBuffer&& o) noexcept {
        std::swap(data, o.data);
        std::swap(cap, o.cap);
        return *this;
    }
    ~SpareBuffer() { delete[] data; }
};

class RexxValue {
  public:
    enum Kind : uint8_t { String = 1, Number = 0 };
    // For a string: whether its text has been recognised as a number.
    enum NumState : uint8_t { Unchecked, IsNumber, NotNumber };

    RexxValue() noexcept { init_empty(); }
    explicit RexxValue(std::string_view text) {
        init_empty();
        assign_text(text);
    }
    static RexxValue number(double d, int32_t places = -1) {
        RexxValue v;
        v.set_number(d, places);
        return v;
    }
    // Values without heap text are copied as plain bytes.
    RexxValue(const RexxValue& o) {
        if (!o.cap_) {
            std::memcpy(static_cast<void*>(this), &o, sizeof *this);
            return;
        }
        init_empty();
        copy_from(o);
    }
    [[gnu::always_inline]] RexxValue(RexxValue&& o) noexcept {
        take_fields(o);
        o.cap_ = 0;
        o.len_ = 0;
        o.sso_[0] = 0;
    }
    RexxValue& operator=(const RexxValue& o) {
        if (!cap_ && !o.cap_) {
            std::memcpy(static_cast<void*>(this), &o, sizeof *this);
            return *this;
        }
        // A long string into a buffer big enough for it: the bytes and the
        // header, nothing freed or allocated.
        if (o.kind_ == String && o.cap_ && cap_ >= o.len_ && this != &o) {
            copy_text(heap_, o.heap_, o.len_ + 1);
            len_ = o.len_;
            kind_ = String;
            numstate_ = o.numstate_;
            text_stamp_ = 0;
            num_ = o.num_;
            places_ = o.places_;
            return *this;
        }
        if (this != &o) copy_from(o);
        return *this;
    }
    RexxValue& operator=(RexxValue&& o) noexcept {
        if (this != &o) {
            if (cap_) delete[] heap_;
            take_fields(o);
            o.cap_ = 0;
            o.len_ = 0;
            o.sso_[0] = 0;
        }
        return *this;
    }
    [[gnu::always_inline]] ~RexxValue() {
        if (cap_) delete[] heap_;
    }

    Kind kind() const { return static_cast<Kind>(kind_); }
    bool is_string() const { return kind_ == String; }
    bool is_number_form() const { return kind_ == Number; }

    // Number form, or a string already recognised as a number.
    bool known_number() const { return kind_ == Number || numstate_ == IsNumber; }
    bool known_not_number() const { return kind_ == String && numstate_ == NotNumber; }
    NumState num_state() const { return static_cast<NumState>(numstate_); }
    // Valid when known_number().
    double num() const { return num_; }
    int32_t places() const { return places_; }

    // Text of a string value (not of a number: use text()).
    std::string_view str() const { return {data(), len_}; }

    // The value's text: the string itself, or the number formatted with the
    // given settings (cached).
    std::string_view text(const NumericSettings& ns) const {
        if (kind_ == String || text_stamp_ == stamp_of(ns)) return {data(), len_};
        return format_cached(ns);
    }

    void assign_text(std::string_view text);
    void assign_text(const char* p, size_t n) { assign_text(std::string_view(p, n)); }
    void set_number(double d, int32_t places = -1) {
        kind_ = Number;
        numstate_ = IsNumber;
        text_stamp_ = 0;
        num_ = d;
        places_ = places;
    }
    // Records the result of recognising this string as a number.
    void cache_number(double d, int32_t places) const {
        num_ = d;
        places_ = places;
        numstate_ = IsNumber;
    }
    void cache_not_number() const { numstate_ = NotNumber; }

    // Appends to the text; a number value is first turned into its text.
    void append(std::string_view more, const NumericSettings& ns);
    // Makes this a string value with room for n bytes (contents undefined)
    // and returns the buffer; the length is n.
    char* resize_text(size_t n) {
        // Inline here for the usual cases: the buffer in use already fits.
        char* p;
        if (!cap_ && n <= kInline)
            p = sso_;
        else if (cap_ && n > kInline && cap_ >= n)
            p = heap_;
        else
            p = reserve_raw(n);
        p[n] = 0;
        len_ = static_cast<uint32_t>(n);
        kind_ = String;
        numstate_ = Unchecked;
        text_stamp_ = 0;
        places_ = -1;
        return p;
    }
    // The same, taking spare's buffer when this value has none of its own
    // and the buffer fits n without wasting much room.
    char* resize_text(size_t n, SpareBuffer& spare) {
        if (n > kInline && !cap_ && spare.data && spare.cap >= n && spare.cap <= 2 * n + 64) {
            heap_ = spare.data;
            cap_ = spare.cap;
            spare.data = nullptr;
            spare.cap = 0;
        }
        return resize_text(n);
    }
    // Hands a modest heap buffer over to spare when spare is empty; this
    // value becomes the empty string. Done just before the value is
    // overwritten, so the next long result needs no allocation.
    void give_buffer(SpareBuffer& spare) noexcept {
        if (!cap_ || spare.data || cap_ > SpareBuffer::kMaxKept) return;
        spare.data = heap_;
        spare.cap = cap_;
        cap_ = 0;
        len_ = 0;
        sso_[0] = 0;
        kind_ = String;
        numstate_ = Unchecked;
        text_stamp_ = 0;
    }

    static constexpr size_t kInline = 39;

  private:
    // n bytes between two separate buffers: from 32 to 64 bytes (most heap
    // texts) as four overlapping 16-byte moves, inline.
    [[gnu::always_inline]] static void copy_text(char* to, const char* from, size_t n) {
        if (n > 64 || n < 32) {
            std::memcpy(to, from, n);
            return;
        }
        char a[16], b[16], c[16], d[16];
        std::memcpy(a, from, 16);
        std::memcpy(b, from + 16, 16);
        std::memcpy(c, from + n - 32, 16);
        std::memcpy(d, from + n - 16, 16);
        std::memcpy(to, a, 16);
        std::memcpy(to + 16, b, 16);
        std::memcpy(to + n - 32, c, 16);
        std::memcpy(to + n - 16, d, 16);
    }
    // The fields of o, one by one: a value just made is mostly written by
    // narrow stores, and reading it back as one wide block stalls the
    // processor. The inline text is copied only when it means something.
    [[gnu::always_inline]] void take_fields(const RexxValue& o) noexcept {
        num_ = o.num_;
        places_ = o.places_;
        len_ = o.len_;
        cap_ = o.cap_;
        kind_ = o.kind_;
        numstate_ = o.numstate_;
        text_stamp_ = o.text_stamp_;
        if (o.cap_)
            heap_ = o.heap_;
        else if (o.kind_ == String || o.text_stamp_)
            std::memcpy(sso_, o.sso_, kInline + 1);
        else
            sso_[0] = 0;
    }
    static uint8_t stamp_of(const NumericSettings& ns) {
        return static_cast<uint8_t>(ns.digits | (ns.engineering ? 0x40 : 0) | 0x80);
    }
    void init_empty() {
        num_ = 0;
        places_ = -1;
        len_ = 0;
        cap_ = 0;
        kind_ = String;
        numstate_ = Unchecked;
        text_stamp_ = 0;
        sso_[0] = 0;
    }
    const char* data() const { return cap_ ? heap_ : sso_; }
    char* data() { return cap_ ? heap_ : sso_; }
    char* reserve_raw(size_t n) const; // room for n bytes + NUL, keeps nothing
    void copy_from(const RexxValue& o);
    std::string_view format_cached(const NumericSettings& ns) const;

    mutable double num_;
    mutable int32_t places_;
    mutable uint32_t len_;
    mutable uint32_t cap_; // 0: inline buffer in use
    uint8_t kind_;
    mutable uint8_t numstate_;
    mutable uint8_t text_stamp_; // number form: settings of the cached text
    union {
        mutable char sso_[kInline + 1];
        mutable char* heap_;
    };
};

} // namespace tolma
