#pragma once
// Translation of the bytes a terminal sends into keys: plain bytes, UTF-8
// characters, Control characters, Alt as ESC prefix, and the xterm / VT220 /
// Linux-console escape sequences for function, cursor and editing keys with
// their Shift / Control / Alt modifiers.
#include "platform/field.h"

#include <cstddef>
#include <string_view>

namespace voren::platform {

struct KeyDecodeOptions {
    bool utf8 = true; // multi-byte input is UTF-8 (code points above 255 are dropped)
    unsigned char backspace_byte = 0x7f; // the byte the Backspace key sends (0x7f or 0x08)
};

struct KeyDecoding {
    bool complete = false;  // false: the bytes may be the start of a longer sequence
    Key key;                // valid when complete (kind None for an unknown sequence)
    std::size_t length = 0; // bytes used, when complete
};

// Decodes the key at the start of `bytes`. With `more_may_come` an incomplete
// sequence answers "not complete" so that the caller reads on; without it (the
// terminal has been quiet for a moment) the bytes are taken as they are: a lone
// ESC is Escape, ESC followed by a character is Alt with that character.
KeyDecoding decode_key(std::string_view bytes, const KeyDecodeOptions& options, bool more_may_come);

} // namespace voren::platform
