#pragma once
// The line store and file record of one file of the ring.
//
// Lines are numbered from 0. Two pseudo-lines frame the text: -1 is the
// top-of-file line and line_count() the end-of-file line; they hold no text.
// The store owns the text of every line. Every change goes through xf_do
// (editor/core/line_ops.h), which also feeds the undo log, keeps the named
// lines and the screens' current lines consistent. Nothing else writes `lines`.
#include "editor/core/line_text.h"

#include <cstdint>
#include <string>
#include <vector>

namespace voren {

constexpr int32_t max_line_count = 0x7ffffffe;
constexpr int32_t max_line_length = 0x7ffffffe;

// Line flags (only kept for the APL object kinds).
constexpr uint32_t line_flag_stop = 1u << 0;
constexpr uint32_t line_flag_trace = 1u << 1;

struct Line {
    LineText text;
    int32_t selection = 0; // selection level (SET SELECT)
    uint32_t flags = 0;
};

// One record of an undo or redo log: enough to invert (or replay) one xf_do.
struct UndoRecord {
    bool step_start = false;
    int32_t line = 0;
    int32_t count = 0;
    char op = 0;
    std::vector<LineText> texts; // "r"/"d": one saved text; "D"/"I": several
    uint32_t saved_flags = 0;    // "s": the old (or, in the redo log, new) flags
};

struct NamedLine {
    std::string name;     // with its leading "." as POINT sets it
    std::string reserved; // the reserved word, if any
    int32_t line = 0;
};

enum class CaseMode { MixedRespect, MixedIgnore, UpperRespect, UpperIgnore };
inline bool is_upper_case(CaseMode mode) {
    return mode == CaseMode::UpperRespect || mode == CaseMode::UpperIgnore;
}

struct CursorRecord {
    int32_t line = -1;
    int32_t column = 0;
    int32_t last_typed_column = 0;
};

// File kinds: ordinary files, and the two APL object kinds.
constexpr int file_kind_ordinary = 0;
constexpr int file_kind_apl_function = 3;
constexpr int file_kind_apl_variable = 4;

struct File {
    std::vector<Line> lines;
    int32_t line_count() const { return int32_t(lines.size()); }

    // 0 when unmodified; one more for every command that changed the file.
    int64_t modification_count = 0;
    int64_t change_count = 0; // second counter, kept by undo and redo
    int kind = file_kind_ordinary;

    bool new_step = true; // the next recorded change begins an undo step
    std::vector<UndoRecord> undo_log;
    std::vector<UndoRecord> redo_log;

    CursorRecord cursor;
    std::string path;         // resolved full name used to read and write
    std::string path_as_read; // the name as it was given when read
    int64_t disk_mtime_ns = 0;

    CaseMode case_mode = CaseMode::MixedRespect;
    // ZONE: 1-based columns searched; a right zone of max_line_length is "*".
    int32_t zone_left = 1;
    int32_t zone_right = max_line_length;
    int32_t lrecl = 0; // 0 = not set
    int32_t trunc = 0; // 0 = not set
    bool read_only = false;

    std::vector<NamedLine> names;
    int32_t file_number = 0;
    int32_t ring_key = 0;

    // Set by reading, used by saving.
    bool lf_only = true;
    bool no_final_line_end = false;
    bool keep_blanks = false;
    bool binary = false;
    std::vector<int32_t> tabs;
    std::string syntax; // the seventh pattern-selected setting (SYNTAX)

    bool watch = false;         // the reload check applies to this file
    int64_t autosave_count = 0; // changes since the last autosave
    int64_t modification_count_at_turn_start = 0;
    bool display_changed = true;
};

} // namespace voren
