#include "rexx/core/values.h"

#include <algorithm>
#include <cstring>

#include "rexx/core/arith.h"

namespace tolma {

char* RexxValue::reserve_raw(size_t n) const {
    if (n <= kInline) {
        if (cap_) {
            delete[] heap_;
            cap_ = 0;
        }
        return sso_;
    }
    if (cap_ && cap_ >= n) return heap_;
    size_t want = n + 1;
    if (cap_) {
        want = std::max(want, static_cast<size_t>(cap_) * 3 / 2);
        delete[] heap_;
    }
    heap_ = new char[want];
    cap_ = static_cast<uint32_t>(want - 1);
    return heap_;
}

void RexxValue::copy_from(const RexxValue& o) {
    kind_ = o.kind_;
    numstate_ = o.numstate_;
    text_stamp_ = o.text_stamp_;
    num_ = o.num_;
    places_ = o.places_;
    // A number without cached text carries no bytes worth copying.
    if (o.kind_ == Number && o.text_stamp_ == 0) {
        len_ = 0;
        return;
    }
    char* p = reserve_raw(o.len_);
    std::memcpy(p, o.data(), o.len_);
    p[o.len_] = 0;
    len_ = o.len_;
}

void RexxValue::assign_text(std::string_view text) {
    char* p;
    const char* own = data();
    if (text.data() + text.size() <= own || text.data() > own + (cap_ ? cap_ : kInline)) {
        // Not our own bytes: straight in.
        p = reserve_raw(text.size());
        if (!text.empty()) std::memcpy(p, text.data(), text.size());
    } else if (text.size() <= kInline) {
        // The source may point into our own heap buffer: copy before freeing.
        char tmp[kInline + 1];
        std::memcpy(tmp, text.data(), text.size());
        p = reserve_raw(text.size());
        std::memcpy(p, tmp, text.size());
    } else if (cap_ && text.data() >= heap_ && text.data() < heap_ + cap_) {
        std::string copy(text);
        p = reserve_raw(copy.size());
        std::memcpy(p, copy.data(), copy.size());
    } else {
        p = reserve_raw(text.size());
        std::memcpy(p, text.data(), text.size());
    }
    p[text.size()] = 0;
    len_ = static_cast<uint32_t>(text.size());
    kind_ = String;
    numstate_ = Unchecked;
    text_stamp_ = 0;
    places_ = -1;
}

void RexxValue::append(std::string_view more, const NumericSettings& ns) {
    if (kind_ == Number) {
        std::string_view t = text(ns); // cached in our buffer
        kind_ = String;
        (void)t;
    }
    size_t old = len_, n = old + more.size();
    if (n <= kInline && !cap_) {
        std::memmove(sso_ + old, more.data(), more.size());
    } else if (cap_ && cap_ >= n) {
        std::memmove(heap_ + old, more.data(), more.size());
    } else {
        size_t want = std::max(n + 1, static_cast<size_t>(cap_) * 2);
        char* p = new char[want];
        std::memcpy(p, data(), old);
        std::memcpy(p + old, more.data(), more.size());
        if (cap_) delete[] heap_;
        heap_ = p;
        cap_ = static_cast<uint32_t>(want - 1);
    }
    data()[n] = 0;
    len_ = static_cast<uint32_t>(n);
    numstate_ = Unchecked;
    text_stamp_ = 0;
    places_ = -1;
}

std::string_view RexxValue::format_cached(const NumericSettings& ns) const {
    // A plain whole number is written straight into the inline buffer.
    size_t len;
    if (!cap_ && format_plain_whole(num_, places_, ns, sso_, len)) {
        len_ = static_cast<uint32_t>(len);
        text_stamp_ = stamp_of(ns);
        return {sso_, len};
    }
    char buf[64];
    size_t n = format_number(num_, places_, ns, buf);
    char* p = reserve_raw(n);
    std::memcpy(p, buf, n);
    p[n] = 0;
    len_ = static_cast<uint32_t>(n);
    text_stamp_ = stamp_of(ns);
    return {p, n};
}

} // namespace tolma
