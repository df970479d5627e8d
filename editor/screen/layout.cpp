// Screen geometry and composition.
#include "editor/screen/layout.h"

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/screen/colours.h"
#include "platform/environment.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace voren {

// ---- Geometry of the window ------------------------------------------------

std::vector<ScreenRect> even_split(int rows, int columns, int pf_rows, int n, bool vertical) {
    std::vector<ScreenRect> rects;
    if (n < 1) return rects;
    int usable = rows - pf_rows;
    rects.resize(size_t(n));
    if (!vertical) {
        int each = usable / n;
        for (int i = 0; i < n; ++i) {
            ScreenRect& r = rects[size_t(i)];
            r.top = 1 + i * each;
            r.lines = i == n - 1 ? usable - i * each : each;
            r.left = 1;
            r.columns = columns;
        }
        return rects;
    }
    int each = columns / n;
    int left = 1;
    for (int i = n - 1; i >= 1; --i) {
        ScreenRect& r = rects[size_t(i)];
        r.left = left;
        r.columns = each;
        r.top = 1;
        r.lines = usable;
        left += each;
    }
    rects[0] = ScreenRect{usable, columns - left + 1, 1, left};
    return rects;
}

std::vector<ScreenRect> sized_split(int rows, int columns, int pf_rows,
                                    const std::vector<int>& sizes, bool vertical) {
    std::vector<ScreenRect> rects;
    int usable = rows - pf_rows;
    int at = 1;
    for (size_t i = 0; i < sizes.size(); ++i) {
        bool last = i + 1 == sizes.size();
        ScreenRect r;
        if (vertical) {
            r = ScreenRect{usable, last ? columns - at + 1 : sizes[i], 1, at};
        } else {
            r = ScreenRect{last ? usable - at + 1 : sizes[i], columns, at, 1};
        }
        at += vertical ? r.columns : r.lines;
        rects.push_back(r);
    }
    return rects;
}

namespace {

std::string format_message(const char* format, int a, int b = 0) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

bool overlaps(const ScreenRect& a, const ScreenRect& b) {
    return a.left < b.left + b.columns && b.left < a.left + a.columns && a.top < b.top + b.lines &&
           b.top < a.top + a.lines;
}

} // namespace

std::optional<std::string> layout_fault(const std::vector<ScreenRect>& rects, int rows, int columns,
                                        int pf_rows) {
    for (size_t j = 0; j < rects.size(); ++j) {
        const ScreenRect& r = rects[j];
        int number = int(j) + 1;
        if (r.lines < kMinScreenLines)
            return format_message("..... Screen %d: should have at least %d lines", number,
                                  kMinScreenLines);
        if (r.columns < kMinScreenColumns)
            return format_message("..... Screen %d: should have at least %d columns", number,
                                  kMinScreenColumns);
        if (r.top < 1 || r.left < 1 || r.top + r.lines - 1 > rows - pf_rows ||
            r.left + r.columns - 1 > columns)
            return format_message("..... Screen %d out of bounds", number);
        // Whole rectangles are compared: two screens that cross without a corner
        // inside the other would still draw over each other.
        for (size_t i = 0; i < j; ++i)
            if (overlaps(rects[i], r))
                return format_message("..... Screen %d overlaps screen %d", int(i) + 1, number);
    }
    return std::nullopt;
}

void sync_layouts(Editor& ed) {
    ScreenState& st = ed.display;
    if (st.layouts.size() != ed.screens.size()) {
        ScreenLayout model = st.layouts.empty() ? ScreenLayout{} : st.layouts.front();
        model.file_views.clear();
        model.command_text.clear();
        model.shown.clear();
        st.layouts.resize(ed.screens.size(), model);
    }
}

void apply_layout(Editor& ed, const std::vector<ScreenRect>& rects) {
    if (rects.empty()) return;
    size_t n = rects.size();
    while (ed.screens.size() < n)
        add_screen(ed);
    if (ed.screens.size() > n) ed.screens.resize(n);
    sync_layouts(ed);
    ed.display.layouts.resize(n);
    for (size_t i = 0; i < n; ++i)
        ed.display.layouts[i].rect = rects[i];
    if (ed.screen_index >= int(n)) {
        ed.screen_index = 0;
        int file = ed.screens[0].current_file;
        if (file >= 0 && file < int(ed.ring.files.size())) ed.ring.current = file;
    }
    ed.display.layout_valid = true;
}

void set_window_size(Editor& ed, int rows, int columns) {
    ScreenState& st = ed.display;
    st.rows = std::clamp(rows, 0, kMaxWindowRows);
    st.columns = std::clamp(columns, 0, kMaxWindowColumns);
    st.usable = st.rows >= kMinScreenLines && st.columns >= kMinScreenColumns;
    sync_layouts(ed);
    int pf_rows = int(st.pf_lines.size());
    if (st.kept_split) {
        auto rects =
            even_split(st.rows, st.columns, pf_rows, st.kept_split->count, st.kept_split->vertical);
        // One screen always takes the whole window that is usable at all.
        bool whole_window = st.kept_split->count == 1 && st.usable && !rects.empty() &&
                            rects[0].lines >= kMinScreenLines - 1;
        if (whole_window || !layout_fault(rects, st.rows, st.columns, pf_rows)) {
            apply_layout(ed, rects);
            return;
        }
    }
    std::vector<ScreenRect> current;
    for (const ScreenLayout& layout : st.layouts)
        current.push_back(layout.rect);
    st.layout_valid = st.usable && !layout_fault(current, st.rows, st.columns, pf_rows);
}

// ---- Rows of one screen ------------------------------------------------------

std::optional<RowSpec> parse_row_spec(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    auto flush = [&] {
        if (!word.empty()) words.push_back(word);
        word.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            flush();
        } else if (c == '+' || c == '-') {
            flush();
            words.push_back(std::string(1, c));
        } else {
            word.push_back(c);
        }
    }
    flush();
    auto number = [](const std::string& w) -> std::optional<int> {
        if (w.empty() || w.size() > 6) return std::nullopt;
        for (char c : w)
            if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        return std::stoi(w);
    };
    auto is_m = [](const std::string& w) { return w == "m" || w == "M"; };
    if (words.size() == 1 && is_m(words[0])) return RowSpec{RowSpec::Middle, 0};
    if (words.size() == 1)
        if (auto n = number(words[0])) return RowSpec{RowSpec::FromTop, *n};
    if (words.size() == 2 && (words[0] == "+" || words[0] == "-"))
        if (auto n = number(words[1]))
            return RowSpec{words[0] == "+" ? RowSpec::FromTop : RowSpec::FromBottom, *n};
    if (words.size() == 3 && is_m(words[0]) && (words[1] == "+" || words[1] == "-"))
        if (auto n = number(words[2])) return RowSpec{RowSpec::Middle, words[1] == "+" ? *n : -*n};
    return std::nullopt;
}

int resolve_row(const RowSpec& desc, int lines) {
    switch (desc.kind) {
    case RowSpec::FromTop: return desc.n;
    case RowSpec::FromBottom: return lines - desc.n + 2;
    case RowSpec::Middle: return lines / 2 + desc.n;
    }
    return 0;
}

const ViewDisplay& view_display(const Editor& ed, int s, const File* file) {
    const ScreenLayout& layout = ed.display.layouts[size_t(s)];
    if (file) {
        auto it = layout.file_views.find(file->file_number);
        if (it != layout.file_views.end()) return it->second;
    }
    return layout.defaults;
}

ViewDisplay& own_view_display(Editor& ed, int s, const File& file) {
    ScreenLayout& layout = ed.display.layouts[size_t(s)];
    auto it = layout.file_views.find(file.file_number);
    if (it == layout.file_views.end())
        it = layout.file_views.emplace(file.file_number, layout.defaults).first;
    return it->second;
}

int prefix_width_for(int64_t line_count) {
    constexpr int64_t widen_at[] = {99940, 999940, 9999940, 99999940};
    int width = 5;
    for (int64_t limit : widen_at)
        if (line_count >= limit) ++width;
    return width;
}

int id_digits(int64_t line_count, bool ring_empty) {
    if (ring_empty || line_count < 99999) return 6;
    if (line_count < 999999) return 7;
    return 9;
}

bool command_needs_two_rows(std::string_view text, int columns) {
    size_t last = text.find_last_not_of(' ');
    return last != std::string_view::npos && int(last) >= columns - 7;
}

int clamp_curline(const ScreenPlan& plan, int row) {
    // The current line stays below a top command line even when that is off.
    int lowest = std::max(plan.area_first, plan.cmdline_top ? 4 : 3);
    return std::clamp(row, lowest, std::max(lowest, plan.area_last));
}

namespace {

const File* screen_file(const Editor& ed, int s) {
    int index = ed.screens[size_t(s)].current_file;
    if (index < 0 || index >= int(ed.ring.files.size())) return nullptr;
    return ed.ring.files[size_t(index)].get();
}

std::string_view command_text_of(const Editor& ed, int s) {
    if (s == ed.screen_index) return ed.cmd.command_line;
    return ed.display.layouts[size_t(s)].command_text;
}

int clamp_area_row(const ScreenPlan& plan, int row) {
    return std::clamp(row, plan.area_first, std::max(plan.area_first, plan.area_last));
}

} // namespace

ScreenPlan plan_screen(const Editor& ed, int s) {
    const ScreenState& st = ed.display;
    const ScreenLayout& layout = st.layouts[size_t(s)];
    ScreenPlan plan;
    plan.lines = layout.rect.lines;
    plan.columns = layout.rect.columns;
    const int L = plan.lines;
    std::string_view text = command_text_of(ed, s);
    plan.cmdline_top = cmdline_at_top(layout.cmdline);
    plan.cmdline_shown = cmdline_on(layout.cmdline) || layout.show_cmdline_once ||
                         ed.ring.files.empty() ||
                         text.find_first_not_of(' ') != std::string_view::npos;
    plan.cmdline_two_rows = plan.cmdline_shown && command_needs_two_rows(text, plan.columns);
    int cmd_rows = plan.cmdline_shown ? (plan.cmdline_two_rows ? 2 : 1) : 0;
    if (plan.cmdline_shown && plan.cmdline_top) {
        plan.cmdline_row = 2;
        plan.message_row = 2 + cmd_rows;
        plan.area_first = plan.message_row + 1;
        plan.area_last = L;
    } else {
        plan.message_row = 2;
        plan.area_first = 3;
        plan.area_last = L - cmd_rows;
        if (plan.cmdline_shown) plan.cmdline_row = L - cmd_rows + 1;
    }
    plan.curline_row = clamp_curline(plan, resolve_row(layout.curline, L));

    const File* file = screen_file(ed, s);
    const ViewDisplay& view = view_display(ed, s, file);
    if (view.scale_on) {
        int row = clamp_area_row(plan, resolve_row(view.scale_row, L));
        if (row != plan.curline_row) plan.scale_row = row;
    }
    if (view.tabline_on) {
        int row = clamp_area_row(plan, resolve_row(view.tabline_row, L));
        if (row != plan.curline_row && row != plan.scale_row) plan.tabline_row = row;
    }
    plan.prefix = view.prefix;
    if (view.prefix != PrefixSide::Off)
        plan.prefix_width = prefix_width_for(file ? file->line_count() : 0);
    return plan;
}

// ---- Texts -------------------------------------------------------------------

std::string shadow_text(int64_t count, int width) {
    char text[48];
    if (count == 1)
        std::snprintf(text, sizeof text, "1 line  not displayed ");
    else
        std::snprintf(text, sizeof text, "%lld lines not displayed ", (long long)count);
    std::string label = text;
    if (int(label.size()) > width) return label;
    int p = (width - 22) / 2;
    std::string row(size_t(std::max(p - 1, 0)), '-');
    row += ' ';
    row += label;
    if (int(row.size()) < width) row.append(size_t(width) - row.size(), '-');
    return row;
}

std::string scale_text(int width) {
    std::string row;
    row.reserve(size_t(std::max(width, 0)));
    for (int column = 1; column <= width; ++column) {
        if (column % 10 == 0)
            row += char('0' + (column / 10) % 10);
        else if (column % 5 == 0)
            row += '+';
        else
            row += '.';
    }
    return row;
}

std::string tabline_text(const std::vector<int32_t>& tabs, int width) {
    std::string row(size_t(std::max(width, 0)), ' ');
    for (int32_t tab : tabs)
        if (tab >= 1 && tab <= width) row[size_t(tab - 1)] = 'T';
    return row;
}

std::string window_title(const Editor& ed) {
    const ScreenState& st = ed.display;
    std::string user = st.user_name.empty() ? "??" : st.user_name;
    std::string base = ed.identity + " @ (" + user + ")";
    std::string dir = platform::current_directory().value_or("");
    const File* file = current_file(ed);
    if (!file) return base + " - (NONE), dir:" + dir;
    std::string name = file->path;
    size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name = name.substr(slash + 1);
    std::string marker;
    if (file->lf_only && ed.settings.new_file_crlf) marker = "[U]";
    if (!file->lf_only && !ed.settings.new_file_crlf) marker = "[W]";
    bool edited = false;
    for (const auto& f : ed.ring.files)
        edited = edited || f->modification_count != 0;
    return name + " " + marker + (edited ? "(edited)" : "") + " - " + base + ", dir:" + dir;
}

// ---- Drawing -------------------------------------------------------------------

namespace {

struct Painter {
    Editor& ed;
    platform::FieldWindow& w;
    int s;
    const ScreenLayout& layout;

    int colour(int area) const {
        return ed.display.colour_on ? ed.display.area_colours[size_t(area)] : 0;
    }
    // A field at 1-based screen row/column.
    void field(int element, int id_row, int row, int column, int width, int area,
               std::string_view text, bool input = false, int height = 1, unsigned attrs = 0) {
        if (width <= 0) return;
        platform::FieldSpec desc;
        desc.id = field_id(s, element, id_row);
        desc.row = layout.rect.top - 1 + row - 1;
        desc.col = layout.rect.left - 1 + column - 1;
        desc.width = width;
        desc.height = height;
        desc.input = input;
        desc.colour = colour(area);
        desc.attrs = attrs;
        platform::create_field(w, desc, text);
    }
};

enum class RowKind { Blank, Line, Shadow };
struct RowItem {
    RowKind kind = RowKind::Blank;
    int32_t line = 0;   // Line: -1 top of file, line_count end of file
    int64_t hidden = 0; // Shadow
};

struct LineWalker {
    const File* file;
    const Screen& screen;
    bool shadow;

    bool displayable(int32_t line) const {
        int32_t level = file->lines[size_t(line)].selection;
        bool inside = level >= screen.display_low && level <= screen.display_high;
        return screen.scope == ScopeMode::Excluded ? !inside : inside;
    }
    // The next item going backwards from `pos`; moves `pos`.
    RowItem back(int32_t& pos) const {
        for (;;) {
            if (pos < -1) return {};
            if (pos == -1) return {RowKind::Line, pos--, 0};
            if (displayable(pos)) return {RowKind::Line, pos--, 0};
            int32_t start = pos;
            while (pos >= 0 && !displayable(pos))
                --pos;
            if (shadow) return {RowKind::Shadow, 0, start - pos};
        }
    }
    RowItem forward(int32_t& pos) const {
        int32_t end = file->line_count();
        for (;;) {
            if (pos > end) return {};
            if (pos == end) return {RowKind::Line, pos++, 0};
            if (displayable(pos)) return {RowKind::Line, pos++, 0};
            int32_t start = pos;
            while (pos < end && !displayable(pos))
                ++pos;
            if (shadow) return {RowKind::Shadow, 0, pos - start};
        }
    }
};

std::string prefix_text(const File& file, int32_t line, NumberMode mode, bool nulls, int width,
                        const std::vector<std::pair<int32_t, const std::string*>>& labels) {
    for (const auto& [at, name] : labels)
        if (at == line) {
            std::string text = name->substr(0, size_t(width));
            text.resize(size_t(width), ' ');
            return text;
        }
    if (mode == NumberMode::Off || line < 0 || line >= file.line_count())
        return std::string(size_t(width), nulls ? ' ' : '=');
    char digits[32];
    long long number = mode == NumberMode::On ? line + 1LL : line;
    std::snprintf(digits, sizeof digits, "%0*lld", width, number);
    return digits;
}

void compose_screen(Editor& ed, platform::FieldWindow& w, int s) {
    ScreenLayout& layout = ed.display.layouts[size_t(s)];
    const ScreenPlan plan = plan_screen(ed, s);
    Painter paint{ed, w, s, layout};
    const int W = plan.columns;
    const File* file = screen_file(ed, s);
    const bool current_screen = s == ed.screen_index;

    // Identification line (or the reserved line that takes row 1).
    auto reserved_one = layout.reserved.find(1);
    if (reserved_one != layout.reserved.end()) {
        paint.field(kFieldReserved, 1, 1, 1, W, kAreaIdline, reserved_one->second);
    } else {
        int64_t count = file ? file->line_count() : 0;
        int d = id_digits(count, file == nullptr);
        int len_col = W - 12 - d;
        paint.field(kFieldIdName, 0, 1, 1, std::min(len_col - 1, 1000), kAreaIdline,
                    file ? std::string_view(file->path) : std::string_view());
        paint.field(kFieldIdLen, 0, 1, len_col, 4, kAreaSize, "Len:");
        // The size field is as wide as d so that the largest counts fit.
        paint.field(kFieldIdSize, 0, 1, W - 8 - d, d, kAreaSize,
                    file ? std::to_string(count) : std::string());
        paint.field(kFieldIdMod, 0, 1, W - 8, 5, kAreaIdline, "mod: ");
        paint.field(kFieldIdCounter, 0, 1, W - 3, 4, kAreaMod,
                    file ? std::to_string(file->modification_count) : std::string("0"));
    }

    // Command line.
    layout.cmdline_row = plan.cmdline_row;
    layout.cmdline_two_rows = plan.cmdline_two_rows;
    if (plan.cmdline_shown) {
        std::string_view text = current_screen ? std::string_view(ed.cmd.command_line)
                                               : std::string_view(layout.command_text);
        paint.field(kFieldPrompt, 0, plan.cmdline_row, 1, 5, kAreaArrow, "====>");
        paint.field(kFieldCmdline, 0, plan.cmdline_row, 7, W - 6, kAreaCmdline, text, true,
                    plan.cmdline_two_rows ? 2 : 1,
                    current_screen ? unsigned(platform::AttrHome) : 0u);
    }
    layout.show_cmdline_once = false;

    // Message line.
    layout.message_row = plan.message_row;
    std::string_view message;
    if (current_screen) message = ed.cmd.message_line;
    paint.field(kFieldMessage, 0, plan.message_row, 1, W, kAreaMsgline,
                message.substr(0, size_t(W)));

    // File area.
    layout.prefix_width = plan.prefix_width;
    layout.shown.clear();
    if (!file) return;
    const ViewDisplay& view = view_display(ed, s, file);
    const int pw = plan.prefix_width;
    const int text_width = pw ? W - pw - 1 : W;
    const int text_col = plan.prefix == PrefixSide::Left ? pw + 2 : 1;
    const int prefix_col = plan.prefix == PrefixSide::Left ? 1 : W - pw + 1;

    std::vector<int> free_rows;
    for (int row = plan.area_first; row <= plan.area_last; ++row) {
        if (row == plan.scale_row || row == plan.tabline_row) continue;
        if (row != plan.curline_row && layout.reserved.count(row)) continue;
        free_rows.push_back(row);
    }
    if (plan.scale_row)
        paint.field(kFieldText, plan.scale_row, plan.scale_row, text_col, text_width, kAreaScale,
                    scale_text(text_width));
    if (plan.tabline_row)
        paint.field(kFieldText, plan.tabline_row, plan.tabline_row, text_col, text_width,
                    kAreaTabline, tabline_text(file->tabs, text_width));
    for (const auto& [row, text] : layout.reserved)
        if (row > 1 && row >= plan.area_first && row <= plan.area_last && row != plan.curline_row)
            paint.field(kFieldReserved, row, row, 1, W, kAreaIdline, text);

    std::vector<std::pair<int32_t, const std::string*>> labels;
    for (const NamedLine& named : file->names)
        labels.emplace_back(named.line, &named.name);

    const Screen& screen = ed.screens[size_t(s)];
    int index = ed.screens[size_t(s)].current_file;
    int32_t current =
        screen.views.size() > size_t(index) ? screen.views[size_t(index)].current_line : -1;
    current = std::clamp<int32_t>(current, -1, file->line_count());
    LineWalker walker{file, screen, view.shadow};

    auto cur = std::find(free_rows.begin(), free_rows.end(), plan.curline_row);
    if (cur == free_rows.end()) return;
    size_t cur_index = size_t(cur - free_rows.begin());
    std::vector<RowItem> items(free_rows.size());
    items[cur_index] = RowItem{RowKind::Line, current, 0};
    int32_t pos = current - 1;
    for (size_t i = cur_index; i-- > 0;)
        items[i] = walker.back(pos);
    pos = current + 1;
    for (size_t i = cur_index + 1; i < free_rows.size(); ++i)
        items[i] = walker.forward(pos);

    const bool editable = current_screen;
    for (size_t i = 0; i < free_rows.size(); ++i) {
        const RowItem& item = items[i];
        const int row = free_rows[i];
        const bool at_current = i == cur_index;
        if (item.kind == RowKind::Blank) continue;
        ShownRow shown{row, -2, text_width, layout.left_column};
        if (item.kind == RowKind::Shadow) {
            paint.field(kFieldText, row, row, text_col, text_width, kAreaShadow,
                        shadow_text(item.hidden, text_width));
        } else if (item.line < 0 || item.line >= file->line_count()) {
            shown.line = item.line;
            paint.field(kFieldText, row, row, text_col, text_width,
                        at_current ? kAreaCurline : kAreaFilearea,
                        item.line < 0 ? "* * * Top of File * * *" : "* * * End of File * * *");
        } else {
            shown.line = item.line;
            std::string_view text = file->lines[size_t(item.line)].text.view();
            size_t from = std::min(text.size(), size_t(layout.left_column));
            paint.field(kFieldText, row, row, text_col, text_width,
                        at_current ? kAreaCurline : kAreaFilearea,
                        text.substr(from, size_t(text_width)), editable);
        }
        if (pw) {
            std::string ptext =
                item.kind == RowKind::Shadow
                    ? std::string(size_t(pw), '=')
                    : prefix_text(*file, item.line, view.number, view.prefix_nulls, pw, labels);
            paint.field(kFieldPrefix, row, row, prefix_col, pw, kAreaPrefix, ptext, false, 1,
                        at_current ? platform::AttrHighlight : 0u);
        }
        layout.shown.push_back(shown);
    }
}

} // namespace

void compose_window(Editor& ed, platform::FieldWindow& w) {
    ScreenState& st = ed.display;
    sync_layouts(ed);
    platform::clear_fields(w);
    if (!st.usable || !st.layout_valid) return;
    for (int s = 0; s < int(ed.screens.size()); ++s)
        compose_screen(ed, w, s);
    int pf_rows = int(st.pf_lines.size());
    for (int i = 0; i < pf_rows; ++i) {
        platform::FieldSpec desc;
        desc.id = kPfFieldBase + i;
        desc.row = st.rows - pf_rows + i;
        desc.col = 0;
        desc.width = st.columns;
        desc.colour = st.colour_on ? st.area_colours[kAreaPfline] : 0;
        platform::create_field(w, desc, st.pf_lines[size_t(i)]);
    }
}

} // namespace voren
