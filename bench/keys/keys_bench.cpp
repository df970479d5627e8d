// Keystroke to screen: for each key, the time from the key arriving in the
// input turn to the redisplay being flushed, on an 80x24 headless window showing
// a file of 1,000,000 lines. The keys are the default paging and shifting keys
// (F8, F7, S-F8, S-F7, C-F8, ^z), each of which ends a turn and runs a command.
//   bench_keys [keystrokes]   (default 10000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "editor/core/editor.h"
#include "editor/core/line_ops.h"
#include "editor/core/ring.h"
#include "editor/screen/interactive.h"
#include "platform/headless.h"

int main(int argc, char** argv) {
    namespace p = voren::platform;
    long count = argc > 1 ? std::atol(argv[1]) : 10000;
    voren::Editor ed;
    auto window = std::make_shared<p::FieldWindow>();
    p::open_headless_window(*window, 24, 80);
    voren::attach_window(ed, window);
    ed.display.user_name = "bench";
    voren::File& file = voren::add_file(ed);
    file.path = "/tmp/bench/million.txt";
    file.lines.resize(1000000);
    for (size_t i = 0; i < file.lines.size(); ++i)
        file.lines[i].text = voren::LineText("line " + std::to_string(i + 1) +
                                             " of the benchmark file, a row of text .....");
    voren::set_current_line(ed, 500000);

    auto key = [](p::KeyKind kind, int number, std::uint8_t mods, char code = 0) {
        p::Key k;
        k.kind = kind;
        k.number = number;
        k.modifiers = mods;
        k.code = static_cast<unsigned char>(code);
        return k;
    };
    const std::vector<p::Key> keys = {
        key(p::KeyKind::F, 8, 0),
        key(p::KeyKind::F, 7, 0),
        key(p::KeyKind::F, 8, p::ModShift),
        key(p::KeyKind::F, 7, p::ModShift),
        key(p::KeyKind::F, 8, p::ModControl),
        key(p::KeyKind::Control, 0, 0, 'z'),
    };
    voren::redisplay_screens(ed);
    std::vector<double> micros;
    micros.reserve(size_t(count));
    for (long i = 0; i < count; ++i) {
        p::script_key(*window, keys[size_t(i) % keys.size()]);
        auto start = std::chrono::steady_clock::now();
        voren::wait_for_user_input(ed);
        voren::start_undo_step(ed);
        voren::run_input_key(ed);
        voren::redisplay_screens(ed);
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        micros.push_back(took.count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("%ld keystrokes on a file of 1000000 lines, window 80x24\n", count);
    std::printf("keystroke to screen: median %.1f us, 90th percentile %.1f us, max %.1f us\n",
                micros[micros.size() / 2], micros[micros.size() * 9 / 10], micros.back());
    std::printf("current line at the end: %d\n", int(voren::current_line(ed)));
    return 0;
}
