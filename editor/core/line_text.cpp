#include "editor/core/line_text.h"

#include <algorithm>
#include <sys/mman.h>
#include <vector>

namespace voren {

struct TextBlock {
    char* base = nullptr;
    size_t size = 0;
    size_t live = 0;      // lines whose text lies in the block
    bool writing = false; // still being filled
};

namespace {

// Live blocks, sorted by address, so a line finds its block by bisection.
std::vector<TextBlock*>& blocks() {
    static std::vector<TextBlock*> list;
    return list;
}

void drop_block(TextBlock* block) {
    auto& list = blocks();
    list.erase(std::find(list.begin(), list.end(), block));
    munmap(block->base, block->size);
    delete block;
}

} // namespace

void LineText::assign(std::string_view text) {
    char* fresh = nullptr;
    if (!text.empty()) {
        fresh = static_cast<char*>(std::malloc(text.size() + 1));
        if (!fresh) throw_allocation_failure(text.size() + 1);
        std::memcpy(fresh, text.data(), text.size());
        fresh[text.size()] = '\0';
    }
    release();
    data = fresh;
    length = int32_t(text.size());
}

void LineText::cut(int32_t new_length) {
    if (new_length >= length) return;
    if (new_length <= 0) {
        release();
        length = 0;
        return;
    }
    if (!in_block) {
        char* smaller = static_cast<char*>(std::realloc(data, size_t(new_length) + 1));
        if (smaller) data = smaller;
    }
    data[new_length] = '\0';
    length = new_length;
}

void LineText::release_block_text(char* data) {
    auto& list = blocks();
    auto after = std::upper_bound(list.begin(), list.end(), data,
                                  [](const char* p, const TextBlock* b) { return p < b->base; });
    if (after == list.begin()) return;
    TextBlock* block = *(after - 1);
    if (--block->live == 0 && !block->writing) drop_block(block);
}

TextBlockWriter::TextBlockWriter(size_t capacity) {
    if (capacity == 0) return;
    void* base = mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (base == MAP_FAILED) return; // lines fall back to their own allocations
    block = new TextBlock{static_cast<char*>(base), capacity, 0, true};
    auto& list = blocks();
    list.insert(
        std::upper_bound(list.begin(), list.end(), block,
                         [](const TextBlock* a, const TextBlock* b) { return a->base < b->base; }),
        block);
}

TextBlockWriter::~TextBlockWriter() {
    if (!block) return;
    block->writing = false;
    if (block->live == 0) drop_block(block);
}

LineText TextBlockWriter::make(std::string_view text) {
    LineText line;
    if (text.empty()) return line;
    if (!block || used + text.size() + 1 > block->size) return LineText(text);
    char* p = block->base + used;
    std::memcpy(p, text.data(), text.size());
    p[text.size()] = '\0';
    used += text.size() + 1;
    ++block->live;
    line.data = p;
    line.length = int32_t(text.size());
    line.in_block = true;
    return line;
}

size_t live_text_blocks() {
    return blocks().size();
}

} // namespace voren
