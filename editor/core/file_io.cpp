#include "editor/core/file_io.h"

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/line_ops.h"
#include "platform/environment.h"
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fnmatch.h>
#include <memory>

namespace voren {

namespace pf = platform;

TranslationTable identity_table() {
    TranslationTable table{};
    for (int i = 0; i < 256; ++i)
        table[size_t(i)] = static_cast<unsigned char>(i);
    return table;
}

namespace {

bool is_identity(const TranslationTable& table) {
    for (int i = 0; i < 256; ++i)
        if (table[size_t(i)] != i) return false;
    return true;
}

template <typename Value>
const Value* pattern_value(const std::vector<PatternSetting<Value>>& list,
                           const std::string& path) {
    for (const auto& entry : list)
        if (entry.pattern != default_pattern &&
            fnmatch(entry.pattern.c_str(), path.c_str(), 0) == 0)
            return &entry.value;
    for (const auto& entry : list)
        if (entry.pattern == default_pattern) return &entry.value;
    return nullptr;
}

std::string formatted(const char* format, long long value) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// Reading ------------------------------------------------------------------

constexpr size_t read_block = 1 << 20;

struct Reader {
    Editor& ed;
    File& file;
    const CoreSettings& settings;
    bool strip_cr;
    bool keep_blanks;
    bool translate;
    size_t growth_step;
    TextBlockWriter& texts;
    std::string carry; // the start of a line that continues in the next block
    int result = open_ok;

    // Stores one line (without its LF); false when a limit is passed.
    bool store(const char* bytes, size_t length) {
        if (file.lines.size() >= size_t(settings.read_max_lines)) {
            result = open_too_many_lines;
            return false;
        }
        if (strip_cr) {
            size_t before = length;
            while (length > 0 && bytes[length - 1] == '\r')
                --length;
            if (length != before) file.lf_only = false;
        }
        if (!keep_blanks)
            while (length > 1 && bytes[length - 1] == ' ')
                --length;
        if (file.lines.size() + 1 >= file.lines.capacity()) {
            file.lines.reserve(file.lines.capacity() + growth_step);
            if (growth_step < 100000000) growth_step *= 2;
        }
        Line line;
        line.text = texts.make(std::string_view(bytes, length));
        if (translate)
            for (int32_t i = 0; i < line.text.length; ++i)
                line.text.data[i] =
                    char(settings.input_table[static_cast<unsigned char>(line.text.data[i])]);
        line.selection = current_screen(ed).display_low;
        file.lines.push_back(std::move(line));
        return true;
    }

    bool too_long(size_t length) {
        if (length > size_t(settings.read_max_line_length)) {
            result = open_line_too_long;
            return true;
        }
        return false;
    }

    // Splits a block at its LFs; false to stop reading.
    bool take(const char* block, size_t size) {
        const char* p = block;
        const char* end = block + size;
        while (p < end) {
            const char* lf = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
            if (!lf) {
                if (too_long(carry.size() + size_t(end - p))) return false;
                carry.append(p, size_t(end - p));
                return true;
            }
            if (carry.empty()) {
                if (too_long(size_t(lf - p)) || !store(p, size_t(lf - p))) return false;
            } else {
                if (too_long(carry.size() + size_t(lf - p))) return false;
                carry.append(p, size_t(lf - p));
                if (!store(carry.data(), carry.size())) return false;
                carry.clear();
            }
            p = lf + 1;
        }
        return true;
    }
};

// Reads until `size` bytes are in or the file ends; -1 on a read error.
int64_t read_full(const pf::FileHandle& handle, char* buffer, int64_t size, int* error) {
    int64_t total = 0;
    while (total < size) {
        int64_t got = pf::read_some(handle, buffer + total, size - total, error);
        if (got < 0) return -1;
        if (got == 0) break;
        total += got;
    }
    return total;
}

} // namespace

void apply_pattern_settings(const CoreSettings& settings, File& file, const std::string& path) {
    if (auto v = pattern_value(settings.tabs_patterns, path)) file.tabs = *v;
    if (auto v = pattern_value(settings.case_patterns, path)) file.case_mode = *v;
    if (auto v = pattern_value(settings.lrecl_patterns, path)) file.lrecl = *v;
    if (auto v = pattern_value(settings.trunc_patterns, path)) file.trunc = *v;
    if (auto v = pattern_value(settings.keep_blanks_patterns, path)) file.keep_blanks = *v;
    if (auto v = pattern_value(settings.binary_patterns, path)) file.binary = *v;
    if (auto v = pattern_value(settings.syntax_patterns, path)) file.syntax = *v;
    if (settings.binary_all) file.binary = true;
    if (settings.keep_blanks_all) file.keep_blanks = true;
    if (file.binary) file.keep_blanks = true;
}

int read_lines(Editor& ed, File& file, const std::string& path) {
    const CoreSettings& settings = ed.settings;
    file.lines.clear();
    file.lf_only = true;
    int error = 0;
    pf::FileHandle handle = pf::open_for_reading(path, &error);
    if (!handle.is_open()) return open_read_error;

    std::unique_ptr<char[]> block(new char[read_block]);
    int64_t got = read_full(handle, block.get(), int64_t(read_block), &error);
    if (got < 0) return open_read_error;

    if (settings.autobin && !file.binary) {
        int64_t probe = std::min<int64_t>(got, 1024);
        for (int64_t i = 0; i < probe; ++i) {
            unsigned char c = static_cast<unsigned char>(block[size_t(i)]);
            if (c < 32 && c != '\n' &&
                settings.autobin_controls.find(char(c)) == std::string::npos) {
                file.binary = true;
                file.keep_blanks = true;
                show_text(ed, formatted("..... Binary mode (Found x'%2.2llX') set for file ", c) +
                                  file.path);
                break;
            }
        }
    }

    pf::FileStatus status = pf::file_status(path);
    size_t step = size_t(std::clamp<int64_t>(status.size / 20, 1000, 100000000));
    file.lines.reserve(step);
    // The whole text fits in the file's size plus one byte: every line but the
    // last gives up its LF for the terminating NUL.
    TextBlockWriter texts(status.size >= 65536 ? size_t(status.size) + 1 : 0);
    Reader reader{ed,
                  file,
                  settings,
                  settings.read_conversion == ReadConversion::Auto && !file.binary,
                  file.keep_blanks,
                  !is_identity(settings.input_table),
                  step,
                  texts,
                  {}};
    bool any_lf = false;
    char last_byte = 0;
    while (got > 0) {
        if (std::memchr(block.get(), '\n', size_t(got))) any_lf = true;
        last_byte = block[size_t(got) - 1];
        if (!reader.take(block.get(), size_t(got))) {
            file.lines.clear();
            file.lines.shrink_to_fit();
            return reader.result;
        }
        got = read_full(handle, block.get(), int64_t(read_block), &error);
        if (got < 0) {
            file.lines.clear();
            file.lines.shrink_to_fit();
            return open_read_error;
        }
    }
    if (!reader.carry.empty()) {
        if (!reader.store(reader.carry.data(), reader.carry.size())) {
            file.lines.clear();
            return reader.result;
        }
    } else if (file.binary && last_byte == '\n') {
        if (!reader.store("", 0)) {
            file.lines.clear();
            return reader.result;
        }
    }

    bool strip_cr = settings.read_conversion == ReadConversion::Auto && !file.binary;
    if (strip_cr && file.lines.size() == 1 && file.lines[0].text.view() == "\x1a")
        file.lines.clear();
    if (file.lines.empty()) {
        if (settings.lowest_current_line != -1) file.lines.emplace_back();
        file.lf_only = !settings.new_file_crlf;
    } else if (!any_lf && file.lines.size() == 1 && settings.new_file_crlf && !file.binary) {
        file.lf_only = false;
    }
    if (file.binary) {
        file.lf_only = true;
        file.no_final_line_end = true;
    }
    return open_ok;
}

int open_file(Editor& ed, std::string_view name) {
    if (name.size() >= PATH_MAX) {
        show_message(ed, 2);
        return open_name_too_long;
    }
    std::string given(name);
    std::string path = pf::absolute_path(given);
    int existing = find_file_by_path(ed, path);
    if (existing >= 0) {
        make_current(ed, existing);
        return open_ok;
    }

    pf::FileStatus status = pf::file_status(path);
    bool exists = status.type != pf::FileType::Missing;
    if (!exists && status.error != ENOENT) {
        // A link loop, a component that is not a directory, a search
        // permission missing: the name cannot be read.
        show_message(ed, 153);
        return open_read_error;
    }
    if (exists) {
        if (status.type != pf::FileType::Regular) {
            show_message(ed, 1);
            return open_not_editable;
        }
        int error = 0;
        pf::FileHandle probe = pf::open_for_reading(path, &error);
        if (!probe.is_open()) {
            show_message(ed, 153);
            return open_read_error;
        }
        if (ed.settings.limit > 0 && status.size > ed.settings.limit) {
            show_message(ed, 176);
            return open_read_error;
        }
    }

    File& file = add_file(ed);
    file.path = path;
    file.path_as_read = given;
    apply_pattern_settings(ed.settings, file, path);

    int result = open_ok;
    if (exists) {
        result = read_lines(ed, file, path);
    } else {
        file.lf_only = !ed.settings.new_file_crlf;
        if (ed.settings.lowest_current_line != -1) file.lines.emplace_back();
    }
    if (result != open_ok) {
        remove_current_file(ed);
        switch (result) {
        case open_read_error: show_message(ed, 0); break;
        case open_not_editable: show_message(ed, 1); break;
        case open_line_too_long:
            show_text(ed, formatted("..... Line in file is larger than %lld bytes.",
                                    ed.settings.read_max_line_length));
            break;
        case open_too_many_lines:
            show_text(ed,
                      formatted("..... More than %lld lines in file.", ed.settings.read_max_lines));
            break;
        }
        return result;
    }

    file.disk_mtime_ns = exists ? status.mtime_ns : 0;
    auto& last = ed.last_files;
    last.erase(std::remove(last.begin(), last.end(), path), last.end());
    last.insert(last.begin(), path);
    if (last.size() > 50) last.resize(50);
    set_current_line(ed, ed.settings.lowest_current_line);
    if (ed.after_file_loaded) ed.after_file_loaded(ed);
    return open_ok;
}

// Writing ------------------------------------------------------------------

namespace {

// Collects the output in blocks and hands each full block to the file.
struct Output {
    const pf::FileHandle& handle;
    std::string buffer;
    int64_t written = 0;
    int64_t writeback_from = 0; // start of the range not yet handed to the disk
    int error = 0;
    bool failed = false;

    explicit Output(const pf::FileHandle& h) : handle(h) { buffer.reserve(read_block + 4096); }

    void flush() {
        if (failed || buffer.empty()) return;
        if (!pf::write_all(handle, buffer, &error)) failed = true;
        written += int64_t(buffer.size());
        buffer.clear();
        // Let the disk start on what is written while the rest is built, so
        // that the final flush has less left to wait for.
        if (written - writeback_from >= writeback_step) {
            pf::start_writeback(handle, writeback_from, written - writeback_from);
            writeback_from = written;
        }
    }
    void add(std::string_view bytes) {
        buffer.append(bytes);
        if (buffer.size() >= read_block) flush();
    }
    static constexpr int64_t writeback_step = 8 << 20;
};

bool write_lines(const Editor& ed, const File& file, bool crlf_mode, bool columns, Output& out) {
    const CoreSettings& settings = ed.settings;
    bool translate = !is_identity(settings.output_table);
    const auto& ranges = current_screen(ed).column_ranges;
    int32_t limit = 0;
    if (file.lrecl > 0) limit = file.lrecl;
    if (file.trunc > 0 && (limit == 0 || file.trunc < limit)) limit = file.trunc;
    // Lines go straight into the output unless they need reshaping.
    bool plain = !columns && !translate && file.lrecl == 0;
    std::string line;
    size_t count = file.lines.size();
    for (size_t i = 0; i < count && !out.failed; ++i) {
        std::string_view text = file.lines[i].text.view();
        if (!columns) {
            if (!file.keep_blanks)
                while (!text.empty() && text.back() == ' ')
                    text.remove_suffix(1);
            if (crlf_mode && !text.empty() && text.back() == '\r') text.remove_suffix(1);
            if (limit > 0 && text.size() > size_t(limit)) text = text.substr(0, size_t(limit));
        }
        std::string_view written = text;
        if (!plain) {
            line.clear();
            if (!columns) {
                line.assign(text);
                if (file.lrecl > 0 && line.size() < size_t(file.lrecl))
                    line.append(size_t(file.lrecl) - line.size(), ' ');
            } else {
                for (auto [start, end] : ranges) {
                    int64_t first = std::max<int32_t>(start, 1);
                    int64_t last = end >= max_line_length ? int64_t(text.size()) : int64_t(end);
                    for (int64_t column = first; column <= last; ++column)
                        line.push_back(column <= int64_t(text.size()) ? text[size_t(column - 1)]
                                                                      : ' ');
                }
            }
            if (translate)
                for (char& c : line)
                    c = char(settings.output_table[static_cast<unsigned char>(c)]);
            written = line;
        }
        bool last_line = i + 1 == count;
        out.add(written);
        if (last_line && file.no_final_line_end) continue;
        if (!crlf_mode || (last_line && !written.empty() && written.back() == '\x1a'))
            out.add("\n");
        else
            out.add("\r\n");
    }
    out.flush();
    return !out.failed;
}

void report_write_failure(Editor& ed, int error) {
    std::fflush(stdout);
    std::fputs("voren: save : error occured while writing\n", stderr);
    show_text(ed, pf::system_error_text(error));
}

// Writes the contents into a temporary file beside `target`, flushed to disk.
// `create_error` receives the reason when the temporary file could not be
// created (nothing is reported then: the caller may write another way).
bool write_temp(Editor& ed, const File& file, const std::string& target, unsigned mode,
                bool crlf_mode, bool columns, std::string& temp_name, int& create_error) {
    int error = 0;
    create_error = 0;
    pf::FileHandle handle = pf::create_temp_beside(target, mode, temp_name, &error);
    if (!handle.is_open()) {
        create_error = error;
        return false;
    }
    Output out(handle);
    bool ok = write_lines(ed, file, crlf_mode, columns, out);
    error = out.error;
    ok = ok && pf::sync_file(handle, &error) && pf::close_file(handle, &error);
    if (!ok) {
        pf::remove_file(temp_name);
        report_write_failure(ed, error);
    }
    return ok;
}

// Rewrites `target` in place (hard links keep seeing the new contents).
bool write_in_place(Editor& ed, const File& file, const std::string& target, bool crlf_mode,
                    bool columns) {
    int error = 0;
    pf::FileHandle handle = pf::open_for_overwrite(target, &error);
    bool ok = handle.is_open();
    if (ok) {
        Output out(handle);
        ok = write_lines(ed, file, crlf_mode, columns, out);
        error = out.error;
        ok = ok && pf::truncate_file(handle, out.written, &error) &&
             pf::sync_file(handle, &error) && pf::close_file(handle, &error);
    }
    if (!ok) report_write_failure(ed, error);
    return ok;
}

bool ask(Editor& ed, const std::string& question) {
    if (ed.batch_mode || !ed.ask_user) return false;
    return ed.ask_user(ed, question);
}

} // namespace

int write_file(Editor& ed, const File& file, const std::string& path, bool crlf, bool columns) {
    bool crlf_mode = crlf || !file.lf_only;
    std::string target;
    int error = 0;
    if (!pf::resolve_link_chain(path, target, &error)) {
        show_text(ed, "file " + path + " linked to itself");
        return save_failed;
    }
    pf::FileStatus status = pf::file_status(target);
    bool exists = status.type != pf::FileType::Missing;
    if (exists && status.type != pf::FileType::Regular) {
        report_write_failure(ed, status.type == pf::FileType::Directory ? EISDIR : EINVAL);
        return save_failed;
    }
    if (exists && !status.owner_writable()) {
        if (!ask(ed, "The file " + target +
                         " is write-protected.\nDo you want to remove the protection?"))
            return save_protection_kept;
        pf::add_owner_write(target);
        status = pf::file_status(target);
    }

    const CoreSettings& settings = ed.settings;
    std::string backup = target + settings.backup_char;
    std::string dir = pf::directory_part(target);
    if (exists && (settings.preserve_links || status.link_count >= 2)) {
        // The links must keep pointing at the new contents: copy the old
        // version aside first, then overwrite.
        if (!pf::copy_file_durably(target, backup, &error)) {
            report_write_failure(ed, error);
            return save_failed;
        }
        if (!write_in_place(ed, file, target, crlf_mode, columns)) return save_failed;
        if (!settings.backup) pf::remove_file(backup);
        return save_ok;
    }

    unsigned mode = exists ? status.mode : pf::new_file_mode(0666);
    std::string temp_name;
    int create_error = 0;
    if (!write_temp(ed, file, target, mode, crlf_mode, columns, temp_name, create_error)) {
        // A writable file in a directory where nothing can be created: it can
        // only be rewritten in place (the text stays in the editor if that fails).
        if (exists && (create_error == EACCES || create_error == EPERM))
            return write_in_place(ed, file, target, crlf_mode, columns) ? save_ok : save_failed;
        if (create_error != 0) report_write_failure(ed, create_error);
        return save_failed;
    }
    if (exists && settings.backup) {
        if (pf::link_status(backup).type != pf::FileType::Missing) {
            pf::add_owner_write(backup);
            pf::remove_file(backup);
        }
        if (!pf::hard_link(target, backup, &error) &&
            !pf::copy_file_durably(target, backup, &error)) {
            show_text(ed, "");
            show_text(ed, "save: Unable to rename " + target + " into " + backup + " (" +
                              pf::system_error_text(error) + ").");
        }
    }
    if (!pf::rename_file(temp_name, target, &error)) {
        pf::remove_file(temp_name);
        report_write_failure(ed, error);
        return save_failed;
    }
    pf::sync_directory(dir);
    return save_ok;
}

int save_file(Editor& ed, bool crlf, bool columns) {
    File* file = current_file(ed);
    if (!file) return save_failed;
    int result = write_file(ed, *file, file->path, crlf, columns);
    if (result != save_ok) return result;
    std::string target;
    int error = 0;
    if (pf::resolve_link_chain(file->path, target, &error))
        file->disk_mtime_ns = pf::file_status(target).mtime_ns;
    file->modification_count = 0;
    file->autosave_count = 0;
    if (ed.settings.save_clear_undo) clear_undo(*file);
    return save_ok;
}

// Autosave -------------------------------------------------------------------

std::string autosave_name(const Editor& ed, const File& file) {
    std::string dir = ed.settings.autosave_dir;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    std::string where = pf::directory_part(file.path);
    std::replace(where.begin(), where.end(), '/', '_');
    std::replace(where.begin(), where.end(), ':', '_');
    return dir + "autosave" + std::to_string(pf::process_id()) + where + "_" +
           pf::base_name(file.path) + "_";
}

bool autosave(Editor& ed, int index) {
    const File& file = *ed.ring.files.at(size_t(index));
    std::string name = autosave_name(ed, file);
    int error = 0;
    pf::FileHandle handle = pf::create_for_writing(name, 0600, &error);
    if (!handle.is_open()) {
        show_text(ed, "..... Unable to open " + name);
        show_text(ed, pf::system_error_text(error));
        return false;
    }
    Output out(handle);
    bool translate = !is_identity(ed.settings.output_table);
    std::string line;
    for (const Line& l : file.lines) {
        line.assign(l.text.view());
        if (translate)
            for (char& c : line)
                c = char(ed.settings.output_table[static_cast<unsigned char>(c)]);
        line.push_back('\n');
        out.add(line);
    }
    out.flush();
    error = out.error;
    if (out.failed || !pf::sync_file(handle, &error) || !pf::close_file(handle, &error)) {
        show_text(ed, "..... Unable to write in " + name);
        show_text(ed, pf::system_error_text(error));
        return false;
    }
    show_text(ed, "..... Autosaved as " + name);
    return true;
}

void autosave_accounting(Editor& ed) {
    if (ed.settings.autosave_every <= 0) return;
    for (int i = 0; i < int(ed.ring.files.size()); ++i) {
        File& file = *ed.ring.files[size_t(i)];
        int64_t growth = file.modification_count - file.modification_count_at_turn_start;
        if (growth <= 0) continue;
        file.autosave_count += growth;
        if (file.autosave_count >= ed.settings.autosave_every) {
            autosave(ed, i);
            file.autosave_count = 0;
        }
    }
}

// Reload ---------------------------------------------------------------------

bool reload_check(Editor& ed, int index, bool forced) {
    if (index < 0 || index >= int(ed.ring.files.size())) return false;
    File& file = *ed.ring.files[size_t(index)];
    pf::FileStatus status = pf::file_status(file.path);
    if (status.type != pf::FileType::Regular || status.mtime_ns <= file.disk_mtime_ns) return false;
    if (file.modification_count != 0 || forced) {
        std::string question = "The file \"" + file.path +
                               "\"\nhas been externally modified.\nReloading it will make you\n"
                               "loose all your modifications.\nDo you want to reload it?";
        if (!ask(ed, question)) return false;
    }
    std::string backup = file.path + ed.settings.backup_char;
    if (write_file(ed, file, backup, false, false) != save_ok) return false;

    // Read the new version into a fresh record, then take its lines: the file
    // keeps its place in the ring, its number and its settings.
    File fresh;
    fresh.path = file.path;
    apply_pattern_settings(ed.settings, fresh, file.path);
    int result = read_lines(ed, fresh, file.path);
    if (result != open_ok) {
        show_message(ed, 0);
        return false;
    }
    std::vector<int32_t> lines;
    for (Screen& screen : ed.screens)
        lines.push_back(screen.views.at(size_t(index)).current_line);
    file.lines = std::move(fresh.lines);
    file.lf_only = fresh.lf_only;
    file.binary = fresh.binary;
    file.keep_blanks = fresh.keep_blanks;
    file.no_final_line_end = fresh.no_final_line_end;
    file.names.clear();
    clear_undo(file);
    file.modification_count = 0;
    file.change_count = 0;
    file.disk_mtime_ns = status.mtime_ns;
    file.display_changed = true;
    for (size_t s = 0; s < ed.screens.size(); ++s) {
        int32_t line = std::min(lines[s], file.line_count() - 1);
        ed.screens[s].views[size_t(index)].current_line =
            std::max(line, ed.settings.lowest_current_line);
    }
    show_text(ed, ".... Warning: reloaded \"" + file.path +
                      "\" file; previous version saved in backup format.");
    return true;
}

} // namespace voren
