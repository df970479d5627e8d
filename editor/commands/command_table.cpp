// The command table, its abbreviation hash and the SET table.
#include "editor/commands/command_table.h"

#include <array>
#include <string>
#include <vector>

#include "editor/commands/executor.h"
#include "editor/core/editor.h"

namespace voren {

namespace {

constexpr int name_length(const char* name) {
    int n = 0;
    while (name[n] != '\0')
        ++n;
    return n;
}

// Index of the first lower-case ASCII letter; a name without one must be typed in full.
constexpr int min_length_of(const char* name) {
    int n = 0;
    for (; name[n] != '\0'; ++n)
        if (name[n] >= 'a' && name[n] <= 'z') return n;
    return n;
}

#define VOREN_ROW(id, name, set, query, help, tag)                                                 \
    CommandEntry{name,                                                                             \
                 name_length(name),                                                                \
                 min_length_of(name),                                                              \
                 set != 0,                                                                         \
                 query != 0,                                                                       \
                 &xfcm_##id,                                                                       \
                 tag,                                                                              \
                 help},
#define VOREN_COMMAND(id, name, set, query, help)                                                  \
    VOREN_ROW(id, name, set, query, help, "Commande xfcm_" #id)
#define VOREN_SPECIAL(id, name, set, query, help)                                                  \
    VOREN_ROW(id, name, set, query, help, "Commande " name)

constexpr CommandEntry kCommands[] = {
#include "editor/commands/command_list.def"
};
#undef VOREN_COMMAND
#undef VOREN_SPECIAL
#undef VOREN_ROW

static_assert(std::size(kCommands) == kCommandCount);

// Accepted and ignored while the host-compatibility mode is on.
constexpr const char* kHostNames[kHostItemCount] = {
    "BRKkey",   "COLPtr",  "ESCape", "ETARBCH",  "ETMODE",  "FILler",  "FMode",
    "FULLread", "IMage",   "MASK",   "MSGLine",  "MSGMode", "NONDisp", "NULls",
    "PA1",      "PA2",     "PA3",    "PACK",     "RANge",   "RECfm",   "REMOte",
    "SERial",   "SIDcode", "SPILL",  "TERMinal", "TEXT",    "TOPEOF",  "TRANSLat"};

char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

struct HashNode {
    const CommandEntry* entry;
    int length; // the key is the first `length` characters of the folded name
    int next;   // index of the next node of the chain, -1 at the end
};

struct CommandHash {
    std::array<std::string, kCommandCount> folded; // lower-cased names
    std::array<int, kHashChains> heads;
    std::vector<HashNode> nodes;
    int longest = 0;

    const std::string& folded_name(const CommandEntry* e) const {
        return folded[static_cast<size_t>(e - kCommands)];
    }

    // The entry that owns (key, n), or null.
    const CommandEntry* probe(std::string_view key) const {
        for (int i = heads[command_hash(key)]; i >= 0; i = nodes[i].next) {
            const HashNode& node = nodes[i];
            if (node.length == static_cast<int>(key.size()) &&
                std::string_view(folded_name(node.entry)).substr(0, key.size()) == key)
                return node.entry;
        }
        return nullptr;
    }

    CommandHash() {
        heads.fill(-1);
        for (int i = 0; i < kCommandCount; ++i) {
            const CommandEntry& e = kCommands[i];
            std::string& f = folded[i];
            for (int k = 0; k < e.length; ++k)
                f += fold(e.name[k]);
            if (e.length > longest) longest = e.length;
            for (int n = e.min_length; n <= e.length; ++n) {
                std::string_view key(f.data(), static_cast<size_t>(n));
                if (n == 0 || probe(key) != nullptr) continue; // an earlier entry keeps it
                unsigned h = command_hash(key);
                nodes.push_back(HashNode{&e, n, heads[h]});
                heads[h] = static_cast<int>(nodes.size()) - 1;
            }
        }
    }
};

const CommandHash& hash_table() {
    static const CommandHash table;
    return table;
}

std::vector<CommandEntry> build_set_table() {
    std::vector<CommandEntry> rows;
    for (const CommandEntry& e : kCommands) {
        if (!e.settable) continue;
        CommandEntry row = e;
        if (e.handler == &xfcm_equal) {
            row.handler = &xfcm_set_equal;
            row.trace = "Commande xfcm_set_equal";
        } else if (e.handler == &xfcm_macro) {
            row.handler = &xfcm_set_macro;
            row.trace = "Commande xfcm_set_macro";
        }
        rows.push_back(row);
    }
    for (const char* name : kHostNames)
        rows.push_back(CommandEntry{name, name_length(name), min_length_of(name), true, false,
                                    nullptr, "", ""});
    return rows;
}

const std::vector<CommandEntry>& set_rows() {
    static const std::vector<CommandEntry> rows = build_set_table();
    return rows;
}

} // namespace

std::span<const CommandEntry> command_table() {
    return kCommands;
}

std::span<const CommandEntry> set_table() {
    return set_rows();
}

unsigned command_hash(std::string_view key) {
    if (key.empty()) return 0;
    unsigned h = static_cast<unsigned char>(key[0]);
    for (char c : key)
        h = (h * 31 + static_cast<unsigned char>(c)) % kHashChains;
    return h;
}

const CommandEntry* find_command(std::string_view word) {
    const CommandHash& table = hash_table();
    if (word.empty() || static_cast<int>(word.size()) > table.longest) return nullptr;
    char buffer[64];
    for (size_t i = 0; i < word.size(); ++i)
        buffer[i] = fold(word[i]);
    return table.probe(std::string_view(buffer, word.size()));
}

bool abbreviates(std::string_view word, const CommandEntry& entry) {
    int n = static_cast<int>(word.size());
    if (n < entry.min_length || n > entry.length || n == 0) return false;
    for (int i = 0; i < n; ++i)
        if (fold(word[static_cast<size_t>(i)]) != fold(entry.name[i])) return false;
    return true;
}

const CommandEntry* find_set_item(std::string_view word, bool host_compat) {
    for (const CommandEntry& e : set_rows()) {
        if (e.handler == nullptr && !host_compat) continue;
        if (abbreviates(word, e)) return &e;
    }
    return nullptr;
}

const CommandEntry* find_host_item(std::string_view word) {
    const auto& rows = set_rows();
    for (size_t i = rows.size() - kHostItemCount; i < rows.size(); ++i)
        if (abbreviates(word, rows[i])) return &rows[i];
    return nullptr;
}

bool not_implemented(Editor& ed, const CommandCall&) {
    show_message(ed, 164);
    ed.return_code = 1;
    return true;
}

bool call_command(Editor& ed, const CommandEntry& entry, const CommandCall& call) {
    trace_tag(ed, entry.trace);
    CommandCall with_entry = call;
    with_entry.entry = &entry;
    return entry.handler(ed, with_entry);
}

} // namespace voren
