// Tries the terminal field layer by hand: type into the fields, press keys and
// see what the layer reports. F3 ends; F5 asks a question; F6 waits for one key;
// F7 flashes the command line; F8 rings the bell;
// F9 redefines colour 12.
#include "platform/field.h"
#include "platform/hangup.h"

#include <cstdio>
#include <string>

using namespace voren::platform;

static void layout(FieldWindow& w, const std::string& status) {
    clear_fields(w);
    int cols = w.cols;
    create_field(w, {1, 0, 0, 1, cols, false, 12, AttrReverse});
    set_field_text(w, 1, "field demo   F3 quit  F5 question  F6 one key  F7 flash  F8 bell");
    create_field(w, {2, 1, 0, 1, 5, false, 7, 0});
    set_field_text(w, 2, "====>");
    create_field(w, {3, 1, 6, 2, cols - 6, true, 7, AttrHome});
    for (int i = 0; i < w.rows - 5 && i < 10; ++i) {
        create_field(w, {100 + i, 3 + i, 0, 1, 5, true, 13, 0});
        set_field_text(w, 100 + i, "=====");
        create_field(w, {200 + i, 3 + i, 6, 1, cols - 6, true, 7, 0});
        std::string text = "line " + std::to_string(i + 1) + " bytes:";
        for (int b = 0; b < 8; ++b)
            text.push_back(static_cast<char>(i * 8 + b + (i < 4 ? 0 : 128)));
        set_field_text(w, 200 + i, text);
    }
    create_field(w, {4, w.rows - 1, 0, 1, cols, false, 2, 0});
    set_field_text(w, 4, status);
}

static void on_hangup(int sig, void*) {
    std::fprintf(stderr, "hangup %d\n", sig);
}

int main() {
    FieldWindow w;
    std::string error;
    if (!open_terminal_window(w, &error)) {
        std::fprintf(stderr, "field_demo: %s\n", error.c_str());
        return 1;
    }
    set_hangup_handler(on_hangup, nullptr);
    set_title(w, "field demo");
    std::string status = "ready";
    layout(w, status);
    place_cursor(w, 3, 0);
    for (;;) {
        InputTurn t = read_input(w);
        status = "key " + key_name(t.key) + " at " + std::to_string(t.cursor.row) + "," +
                 std::to_string(t.cursor.col) + " field " + std::to_string(t.cursor.field_id);
        for (const ModifiedField& m : modified_fields(w))
            status += " [" + std::to_string(m.id) + ":" + m.text + "]";
        if (t.key.kind == KeyKind::Hangup ||
            (t.key.kind == KeyKind::F && t.key.number == 3 && !t.key.modifiers))
            break;
        if (t.key.kind == KeyKind::F && t.key.number == 5 && !t.key.modifiers) {
            std::string lines[3] = {"   The file", "demo.txt", "has been modified."};
            Answer a = ask_question(w, "Do you want to save it?", lines);
            status += a == Answer::Save     ? " answer save"
                      : a == Answer::Cancel ? " answer cancel"
                                            : " answer continue";
        }
        if (t.key.kind == KeyKind::F && t.key.number == 6 && !t.key.modifiers) {
            set_field_text(w, 4, "press one key");
            Key k = wait_key(w);
            status += " waited: " + key_name(k);
        }
        if (t.key.kind == KeyKind::F && t.key.number == 7) flash_field(w, 3);
        if (t.key.kind == KeyKind::F && t.key.number == 8) ring_bell(w);
        if (t.key.kind == KeyKind::F && t.key.number == 9) set_colour_rgb(w, 12, {0, 128, 255});
        CursorPos c = cursor_position(w);
        layout(w, status);
        place_cursor_at(w, c.row, c.col);
    }
    close_window(w);
    std::printf("%s\n", status.c_str());
}
