// Full redisplay of a 200x60 headless window split into 3 screens with prefix
// areas (line numbers on), showing a file of 1,000,000 lines; prints the time
// per redisplay. The current line moves between redisplays so that every one
// draws different text.
//   bench_screen [redisplays]   (default 20000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/ring.h"
#include "editor/screen/interactive.h"
#include "platform/headless.h"

int main(int argc, char** argv) {
    long count = argc > 1 ? std::atol(argv[1]) : 20000;
    voren::Editor ed;
    auto window = std::make_shared<voren::platform::FieldWindow>();
    voren::platform::open_headless_window(*window, 60, 200);
    voren::attach_window(ed, window);
    ed.display.user_name = "bench";

    auto load_start = std::chrono::steady_clock::now();
    voren::File& file = voren::add_file(ed);
    file.path = "/tmp/bench/million.txt";
    file.lines.resize(1000000);
    for (size_t i = 0; i < file.lines.size(); ++i)
        file.lines[i].text =
            voren::LineText("line " + std::to_string(i + 1) +
                            " of the benchmark file, long enough to fill part of a row .........");
    std::chrono::duration<double> load = std::chrono::steady_clock::now() - load_start;

    for (const char* command : {"screen 3", "number_screen on", "number on", "scale on m+1"})
        if (voren::execute_string(ed, command) != 0) {
            std::fprintf(stderr, "setup failed: %s: %s\n", command, ed.cmd.last_message.c_str());
            return 1;
        }
    for (size_t s = 0; s < ed.screens.size(); ++s)
        ed.screens[s].current_file = ed.ring.current;

    // Warm up once, then time.
    voren::redisplay_screens(ed);
    auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < count; ++i) {
        for (int s = 0; s < int(ed.screens.size()); ++s)
            voren::screen_current_line(ed, s, ed.ring.current) = int32_t((i * 7919 + s * 1000) % 1000000);
        voren::redisplay_screens(ed);
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("file of 1000000 lines built in %.2f s\n", load.count());
    std::printf("window 200x60, 3 screens, prefix with numbers: %.1f us per redisplay (%ld redisplays)\n",
                took.count() * 1e6 / double(count), count);
    std::printf("fields on the window: %zu\n", window->fields.size());
    return 0;
}
