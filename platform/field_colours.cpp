// The palette of colour numbers and the mapping of RGB values to the colours a
// terminal has.
#include "platform/field.h"

#include <cstdlib>

namespace voren::platform {

const Palette& default_palette() {
    // X11 values of the colour names, by colour number; 0 is the background.
    static const Palette palette = {{
        {255, 255, 255}, // 0 background
        {0, 0, 255},     // 1 blue
        {255, 0, 0},     // 2 red
        {255, 165, 0},   // 3 orange
        {0, 255, 0},     // 4 green
        {75, 0, 130},    // 5 indigo
        {255, 255, 0},   // 6 yellow
        {0, 0, 0},       // 7 black
        {0, 0, 0},       // 8 unused
        {255, 0, 255},   // 9 magenta
        {0, 255, 255},   // 10 cyan
        {238, 0, 238},   // 11 magenta2
        {176, 48, 96},   // 12 maroon
        {238, 48, 167},  // 13 maroon2
        {255, 192, 203}, // 14 pink
        {127, 255, 212}, // 15 aquamarine
        {245, 245, 220}, // 16 beige
        {165, 42, 42},   // 17 brown
        {95, 158, 160},  // 18 cadetblue
        {127, 255, 0},   // 19 chartreuse
        {210, 105, 30},  // 20 chocolate
        {255, 127, 80},  // 21 coral
        {184, 134, 11},  // 22 darkgoldenrod
        {85, 107, 47},   // 23 darkolivegreen
        {72, 61, 139},   // 24 darkslateblue
        {47, 79, 79},    // 25 darkslategray
        {255, 20, 147},  // 26 deeppink
        {105, 105, 105}, // 27 dimgray
        {178, 34, 34},   // 28 firebrick
        {34, 139, 34},   // 29 forestgreen
        {255, 215, 0},   // 30 gold
        {255, 105, 180}, // 31 hotpink
        {205, 92, 92},   // 32 indianred
        {240, 230, 140}, // 33 khaki
        {124, 252, 0},   // 34 lawngreen
        {255, 250, 205}, // 35 lemonchiffon
        {224, 255, 255}, // 36 lightcyan
        {238, 221, 130}, // 37 lightgoldenrod
        {250, 250, 210}, // 38 lightgoldenrodyellow
        {32, 178, 170},  // 39 lightseagreen
        {132, 112, 255}, // 40 lightslateblue
        {102, 205, 170}, // 41 mediumaquamarine
        {60, 179, 113},  // 42 mediumseagreen
        {0, 250, 154},   // 43 mediumspringgreen
        {25, 25, 112},   // 44 midnightblue
        {255, 228, 181}, // 45 moccasin
        {107, 142, 35},  // 46 olivedrab
        {218, 112, 214}, // 47 orchid
        {238, 232, 170}, // 48 palegoldenrod
        {175, 238, 238}, // 49 paleturquoise
        {188, 143, 143}, // 50 rosybrown
        {65, 105, 225},  // 51 royalblue
        {139, 69, 19},   // 52 saddlebrown
        {250, 128, 114}, // 53 salmon
        {160, 82, 45},   // 54 sienna
        {106, 90, 205},  // 55 slateblue
        {112, 128, 144}, // 56 slategray
        {0, 255, 127},   // 57 springgreen
        {70, 130, 180},  // 58 steelblue
        {64, 224, 208},  // 59 turquoise
        {208, 32, 144},  // 60 violetred
        {245, 222, 179}, // 61 wheat
        {255, 255, 255}, // 62 white
        {160, 32, 240},  // 63 purple
    }};
    return palette;
}

static int square(int v) {
    return v * v;
}

static int distance(Rgb a, int r, int g, int b) {
    return square(a.r - r) + square(a.g - g) + square(a.b - b);
}

static Rgb xterm_colour(int index) {
    static const int level[6] = {0, 95, 135, 175, 215, 255};
    if (index >= 232) {
        auto v = static_cast<std::uint8_t>(8 + 10 * (index - 232));
        return {v, v, v};
    }
    int i = index - 16;
    return {static_cast<std::uint8_t>(level[i / 36]), static_cast<std::uint8_t>(level[i / 6 % 6]),
            static_cast<std::uint8_t>(level[i % 6])};
}

int nearest_colour_256(Rgb rgb, const std::array<bool, 256>* avoid) {
    int best = -1, best_distance = 0;
    for (int index = 16; index < 256; ++index) {
        if (avoid && (*avoid)[index]) continue;
        Rgb c = xterm_colour(index);
        int d = distance(rgb, c.r, c.g, c.b);
        if (best < 0 || d < best_distance) {
            best = index;
            best_distance = d;
        }
    }
    return best < 0 ? 16 : best;
}

int nearest_colour_8(Rgb rgb) {
    // Curses order: black, red, green, yellow, blue, magenta, cyan, white.
    return (rgb.r > 127 ? 1 : 0) | (rgb.g > 127 ? 2 : 0) | (rgb.b > 127 ? 4 : 0);
}

} // namespace voren::platform
