#pragma once
// Helpers of the screen tests: an editor drawn into a headless window.
#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/ring.h"
#include "editor/screen/interactive.h"
#include "editor/screen/layout.h"
#include "platform/headless.h"

#include <memory>
#include <string>
#include <vector>

namespace voren {

struct ScreenFixture {
    Editor ed;
    std::shared_ptr<platform::FieldWindow> window = std::make_shared<platform::FieldWindow>();

    explicit ScreenFixture(int rows = 24, int cols = 80) {
        platform::open_headless_window(*window, rows, cols);
        attach_window(ed, window);
        ed.display.user_name = "tester";
    }
    // Adds a file of `count` lines "line 1" ... (or the given texts) and makes it current.
    File& add_lines(int count, const std::string& path = "/tmp/t/f.txt") {
        File& file = add_file(ed);
        file.path = path;
        file.lines.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            file.lines[size_t(i)].text = LineText("line " + std::to_string(i + 1));
        return file;
    }
    File& add_texts(const std::vector<std::string>& texts,
                    const std::string& path = "/tmp/t/f.txt") {
        File& file = add_file(ed);
        file.path = path;
        for (const std::string& t : texts) {
            file.lines.emplace_back();
            file.lines.back().text = LineText(t);
        }
        return file;
    }
    int run(const std::string& command) { return execute_string(ed, command); }
    std::string draw() {
        redisplay_screens(ed);
        return platform::dump_text(*window, true);
    }
    std::string row(int r) { return platform::dump_row(*window, r); }
    std::vector<std::string> rows() {
        redisplay_screens(ed);
        std::vector<std::string> out;
        for (int r = 0; r < window->rows; ++r) {
            std::string text = platform::dump_row(*window, r);
            text.erase(text.find_last_not_of(' ') + 1);
            out.push_back(text);
        }
        return out;
    }
    const std::string& message() const { return ed.cmd.last_message; }
};

} // namespace voren
