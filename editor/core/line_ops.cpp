#include "editor/core/line_ops.h"

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/emergency.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace voren {

namespace {

bool valid_op(char op) {
    return op == 'i' || op == 'I' || op == 'r' || op == 'd' || op == 'D' || op == 's';
}

bool valid_range(const File& file, char op, int32_t line, int32_t count, size_t line_texts) {
    int64_t n = file.line_count();
    switch (op) {
    case 'i': return line >= -1 && line < n;
    case 'I': return line >= -1 && line < n && count >= 0 && size_t(count) == line_texts;
    case 'r':
    case 'd':
    case 's': return line >= 0 && line < n;
    case 'D': return line >= 0 && count >= 0 && int64_t(line) + count <= n;
    }
    return false;
}

// CASE, the APL hook and the LRECL/TRUNC cut for a line a user stores.
void prepare_user_text(const File& file, LineText& text) {
    // APL objects pass their lines through the APL link, which does not exist
    // on this platform; their text is stored as given.
    if (is_upper_case(file.case_mode)) {
        for (int32_t i = 0; i < text.length; ++i) {
            char c = text.data[i];
            if (c >= 'a' && c <= 'z') text.data[i] = char(c - 'a' + 'A');
        }
    }
    int32_t limit = 0;
    if (file.lrecl > 0) limit = file.lrecl;
    if (file.trunc > 0 && (limit == 0 || file.trunc < limit)) limit = file.trunc;
    if (limit > 0) text.cut(limit);
}

void shift_names_after_insert(File& file, int32_t after, int32_t count) {
    for (NamedLine& name : file.names)
        if (name.line > after) name.line += count;
}

void shift_names_after_delete(File& file, int32_t first, int32_t count) {
    auto gone = [&](const NamedLine& name) {
        return name.line >= first && name.line < first + count;
    };
    file.names.erase(std::remove_if(file.names.begin(), file.names.end(), gone), file.names.end());
    for (NamedLine& name : file.names)
        if (name.line >= first + count) name.line -= count;
}

Line make_line(LineText text, int32_t selection) {
    Line line;
    line.text = std::move(text);
    line.selection = selection;
    return line;
}

// Applies an operation to the store; texts it removes go to `displaced`, the
// old flags of 's' to `displaced_flags`.
void apply(Editor& ed, File& file, char op, LineText text, int32_t line, int32_t count,
           std::vector<LineText> lines, std::vector<LineText>& displaced,
           uint32_t& displaced_flags) {
    int32_t selection = current_screen(ed).display_low;
    switch (op) {
    case 'i':
        file.lines.insert(file.lines.begin() + (line + 1), make_line(std::move(text), selection));
        shift_names_after_insert(file, line, 1);
        break;
    case 'I': {
        std::vector<Line> fresh;
        fresh.reserve(lines.size());
        for (LineText& t : lines)
            fresh.push_back(make_line(std::move(t), selection));
        file.lines.insert(file.lines.begin() + (line + 1), std::make_move_iterator(fresh.begin()),
                          std::make_move_iterator(fresh.end()));
        shift_names_after_insert(file, line, count);
        break;
    }
    case 'r':
        displaced.push_back(std::move(file.lines[size_t(line)].text));
        file.lines[size_t(line)].text = std::move(text);
        break;
    case 'd':
        displaced.push_back(std::move(file.lines[size_t(line)].text));
        file.lines.erase(file.lines.begin() + line);
        shift_names_after_delete(file, line, 1);
        break;
    case 'D':
        displaced.reserve(size_t(count));
        for (int32_t i = 0; i < count; ++i)
            displaced.push_back(std::move(file.lines[size_t(line + i)].text));
        file.lines.erase(file.lines.begin() + line, file.lines.begin() + line + count);
        shift_names_after_delete(file, line, count);
        break;
    case 's':
        displaced_flags = file.lines[size_t(line)].flags;
        file.lines[size_t(line)].flags = uint32_t(count);
        break;
    }
    if (op != 's') file.display_changed = true;
    clamp_current_lines(ed);
}

int64_t lines_added(char op, int32_t count) {
    return op == 'i' ? 1 : op == 'I' ? count : 0;
}

} // namespace

int xf_do(Editor& ed, char op, LineText text, int32_t line, int32_t count, int record,
          std::vector<LineText> lines, const char* tag) {
    if (!valid_op(op)) {
        std::fprintf(stderr, "voren: xf_do: internal error, wrong argument: cd = %c\n", op);
        return -1;
    }
    File* file = current_file(ed);
    if (!file) return -1;
    if (record == record_user && (op == 'D' || op == 'I') && count == 0) return 0;
    if (!valid_range(*file, op, line, count, lines.size())) {
        std::fprintf(stderr,
                     "voren: xf_do: internal error, wrong argument: cd = %c line = %d count = %d\n",
                     op, line, count);
        return -1;
    }
    if (int64_t(file->line_count()) + lines_added(op, count) > max_line_count)
        memory_emergency(ed, 0, true);
    trace_tag(ed, tag);

    if (record == record_user) {
        if (file->modification_count < 0) file->modification_count = 0;
        if (op == 'i' || op == 'r')
            prepare_user_text(*file, text);
        else if (op == 'I')
            for (LineText& t : lines)
                prepare_user_text(*file, t);
    }

    UndoRecord entry;
    bool logged = record == record_user || record == record_replay;
    if (logged) {
        entry.step_start = file->new_step;
        entry.line = line;
        entry.count = count;
        entry.op = op;
        if (file->new_step && record == record_user) {
            file->redo_log.clear();
            ++file->modification_count;
            ++file->change_count;
        }
        if (record == record_user) file->new_step = false;
    }

    std::vector<LineText> displaced;
    uint32_t displaced_flags = 0;
    apply(ed, *file, op, std::move(text), line, count, std::move(lines), displaced,
          displaced_flags);

    if (logged) {
        entry.texts = std::move(displaced);
        entry.saved_flags = displaced_flags;
        file->undo_log.push_back(std::move(entry));
    }
    return 0;
}

int insert_line(Editor& ed, int32_t after, std::string_view text, const char* tag) {
    return xf_do(ed, 'i', LineText(text), after, 1, record_user, {}, tag);
}

int replace_line(Editor& ed, int32_t line, std::string_view text, const char* tag) {
    return xf_do(ed, 'r', LineText(text), line, 1, record_user, {}, tag);
}

int delete_lines(Editor& ed, int32_t first, int32_t count, const char* tag) {
    if (count == 1) return xf_do(ed, 'd', LineText(), first, 1, record_user, {}, tag);
    return xf_do(ed, 'D', LineText(), first, count, record_user, {}, tag);
}

void start_undo_step(Editor& ed) {
    for (auto& file : ed.ring.files)
        file->new_step = true;
}

void clear_undo(File& file) {
    file.undo_log.clear();
    file.redo_log.clear();
    file.new_step = true;
}

namespace {

// Inverts one undo record without logging; returns its redo record.
UndoRecord invert(Editor& ed, File& file, UndoRecord& record) {
    UndoRecord redo;
    redo.step_start = record.step_start;
    redo.line = record.line;
    redo.count = record.count;
    redo.op = record.op;
    std::vector<LineText> displaced;
    uint32_t displaced_flags = 0;
    switch (record.op) {
    case 'r':
        apply(ed, file, 'r', std::move(record.texts.at(0)), record.line, 1, {}, displaced,
              displaced_flags);
        break;
    case 'i':
        apply(ed, file, 'd', LineText(), record.line + 1, 1, {}, displaced, displaced_flags);
        break;
    case 'I':
        apply(ed, file, 'D', LineText(), record.line + 1, record.count, {}, displaced,
              displaced_flags);
        break;
    case 'd':
        apply(ed, file, 'i', std::move(record.texts.at(0)), record.line - 1, 1, {}, displaced,
              displaced_flags);
        break;
    case 'D':
        apply(ed, file, 'I', LineText(), record.line - 1, record.count, std::move(record.texts),
              displaced, displaced_flags);
        break;
    case 's':
        apply(ed, file, 's', LineText(), record.line, int32_t(record.saved_flags), {}, displaced,
              displaced_flags);
        redo.saved_flags = displaced_flags;
        break;
    }
    redo.texts = std::move(displaced);
    return redo;
}

} // namespace

int undo_steps(Editor& ed, int steps) {
    File* file = current_file(ed);
    if (!file) return 0;
    int done = 0;
    while ((steps < 0 || done < steps) && !file->undo_log.empty()) {
        for (;;) {
            UndoRecord record = std::move(file->undo_log.back());
            file->undo_log.pop_back();
            file->redo_log.push_back(invert(ed, *file, record));
            if (record.step_start || file->undo_log.empty()) break;
        }
        ++done;
        if (file->undo_log.empty()) {
            file->modification_count = 0;
            file->change_count = 0;
        } else {
            file->modification_count = std::max<int64_t>(1, file->modification_count - 1);
            file->change_count = std::max<int64_t>(0, file->change_count - 1);
        }
    }
    file->new_step = true;
    clamp_current_lines(ed);
    return done;
}

bool redo_step(Editor& ed) {
    File* file = current_file(ed);
    if (!file || file->redo_log.empty()) return false;
    do {
        UndoRecord record = std::move(file->redo_log.back());
        file->redo_log.pop_back();
        file->new_step = record.step_start;
        LineText text;
        std::vector<LineText> texts;
        int32_t count = record.count;
        switch (record.op) {
        case 'r':
        case 'i': text = std::move(record.texts.at(0)); break;
        case 'I': texts = std::move(record.texts); break;
        case 's': count = int32_t(record.saved_flags); break;
        }
        xf_do(ed, record.op, std::move(text), record.line, count, record_replay, std::move(texts),
              XF_TAG);
    } while (!file->redo_log.empty() && !file->redo_log.back().step_start);
    ++file->modification_count;
    ++file->change_count;
    file->new_step = true;
    return true;
}

void set_line_name(File& file, const std::string& name, int32_t line) {
    for (NamedLine& entry : file.names)
        if (entry.name == name) {
            entry.line = line;
            return;
        }
    file.names.push_back(NamedLine{name, {}, line});
}

int32_t find_line_name(const File& file, const std::string& name) {
    for (const NamedLine& entry : file.names)
        if (entry.name == name) return entry.line;
    return -2;
}

} // namespace voren
