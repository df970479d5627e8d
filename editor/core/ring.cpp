#include "editor/core/ring.h"

#include "editor/core/editor.h"

#include <algorithm>
#include <climits>

namespace voren {

File* current_file(Editor& ed) {
    int i = ed.ring.current;
    return i >= 0 && i < int(ed.ring.files.size()) ? ed.ring.files[size_t(i)].get() : nullptr;
}

const File* current_file(const Editor& ed) {
    int i = ed.ring.current;
    return i >= 0 && i < int(ed.ring.files.size()) ? ed.ring.files[size_t(i)].get() : nullptr;
}

Screen& current_screen(Editor& ed) {
    return ed.screens.at(size_t(ed.screen_index));
}
const Screen& current_screen(const Editor& ed) {
    return ed.screens.at(size_t(ed.screen_index));
}

File& add_file(Editor& ed) {
    Ring& ring = ed.ring;
    auto file = std::make_unique<File>();
    int32_t key = 1;
    if (const File* previous = current_file(ed)) {
        key = previous->ring_key + 1;
        for (auto& other : ring.files)
            if (other->ring_key >= key) ++other->ring_key;
    }
    file->ring_key = key;
    ring.last_file_number = ring.last_file_number == INT32_MAX ? 0 : ring.last_file_number + 1;
    file->file_number = ring.last_file_number;
    ring.files.push_back(std::move(file));
    for (Screen& screen : ed.screens)
        screen.views.push_back(ScreenFileView{});
    make_current(ed, int(ring.files.size()) - 1);
    return *ring.files.back();
}

void make_current(Editor& ed, int index) {
    if (index < 0 || index >= int(ed.ring.files.size())) return;
    ed.ring.current = index;
    current_screen(ed).current_file = index;
    ed.ring.files[size_t(index)]->display_changed = true;
}

int remove_current_file(Editor& ed) {
    Ring& ring = ed.ring;
    int removed = ring.current;
    if (removed < 0) return -1;
    int32_t key = ring.files[size_t(removed)]->ring_key;
    int below = -1, above = -1;
    for (int i = 0; i < int(ring.files.size()); ++i) {
        int32_t k = ring.files[size_t(i)]->ring_key;
        if (k < key && (below < 0 || k > ring.files[size_t(below)]->ring_key)) below = i;
        if (k > key && (above < 0 || k > ring.files[size_t(above)]->ring_key)) above = i;
    }
    int chosen = below >= 0 ? below : above;
    if (chosen > removed) --chosen;
    ring.files.erase(ring.files.begin() + removed);
    for (auto& file : ring.files)
        if (file->ring_key > key) --file->ring_key;
    for (Screen& screen : ed.screens) {
        screen.views.erase(screen.views.begin() + removed);
        if (screen.current_file == removed)
            screen.current_file = chosen;
        else if (screen.current_file > removed)
            --screen.current_file;
    }
    ring.current = chosen;
    if (chosen >= 0) make_current(ed, chosen);
    return chosen;
}

namespace {

// The file whose key follows (direction +1) or precedes (-1) the current
// file's key, wrapping around the ring.
int neighbour(const Editor& ed, int direction) {
    const Ring& ring = ed.ring;
    if (ring.current < 0) return -1;
    int32_t key = ring.files[size_t(ring.current)]->ring_key;
    int best = -1, wrap = -1;
    for (int i = 0; i < int(ring.files.size()); ++i) {
        int32_t k = ring.files[size_t(i)]->ring_key;
        auto key_of = [&](int j) { return ring.files[size_t(j)]->ring_key; };
        if (direction > 0) {
            if (k > key && (best < 0 || k < key_of(best))) best = i;
            if (wrap < 0 || k < key_of(wrap)) wrap = i;
        } else {
            if (k < key && (best < 0 || k > key_of(best))) best = i;
            if (wrap < 0 || k > key_of(wrap)) wrap = i;
        }
    }
    return best >= 0 ? best : wrap;
}

} // namespace

int next_in_ring(const Editor& ed) {
    return neighbour(ed, +1);
}
int previous_in_ring(const Editor& ed) {
    return neighbour(ed, -1);
}

int find_file_by_path(const Editor& ed, const std::string& path) {
    for (int i = 0; i < int(ed.ring.files.size()); ++i)
        if (ed.ring.files[size_t(i)]->path == path) return i;
    return -1;
}

int32_t& screen_current_line(Editor& ed, int screen, int index) {
    return ed.screens.at(size_t(screen)).views.at(size_t(index)).current_line;
}

int32_t current_line(const Editor& ed) {
    if (ed.ring.current < 0) return -1;
    return current_screen(ed).views.at(size_t(ed.ring.current)).current_line;
}

namespace {

int32_t clamped(const Editor& ed, const File& file, int32_t line) {
    line = std::min(line, file.line_count() - 1);
    return std::max(line, ed.settings.lowest_current_line);
}

} // namespace

void set_current_line(Editor& ed, int32_t line) {
    const File* file = current_file(ed);
    if (!file) return;
    current_screen(ed).views.at(size_t(ed.ring.current)).current_line = clamped(ed, *file, line);
}

void clamp_current_lines(Editor& ed) {
    const File* file = current_file(ed);
    if (!file) return;
    for (Screen& screen : ed.screens) {
        int32_t& line = screen.views.at(size_t(ed.ring.current)).current_line;
        line = clamped(ed, *file, line);
    }
}

bool in_scope(const Editor& ed, int32_t line) {
    const File* file = current_file(ed);
    if (!file) return false;
    const Screen& screen = current_screen(ed);
    bool pseudo = line < 0 || line >= file->line_count();
    if (screen.scope == ScopeMode::All) return true;
    if (pseudo) return screen.scope == ScopeMode::Display;
    int32_t level = file->lines[size_t(line)].selection;
    bool inside = level >= screen.display_low && level <= screen.display_high;
    return screen.scope == ScopeMode::Display ? inside : !inside;
}

int add_screen(Editor& ed) {
    Screen screen;
    screen.views.resize(ed.ring.files.size());
    screen.current_file = ed.ring.current;
    ed.screens.push_back(std::move(screen));
    return int(ed.screens.size()) - 1;
}

} // namespace voren
