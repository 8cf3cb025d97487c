#include "platform/netenum/resourcebuffer.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace
{

constexpr DWORD kAsManyAsFit = 0xFFFFFFFF;

size_t TextSize(const std::optional<std::string>& text)
{
    return text ? text->size() + 1 : 0;
}

// Copies the text to `at` and moves `at` past it; null when absent.
char* PlaceText(const std::optional<std::string>& text, char*& at)
{
    if (!text)
        return nullptr;
    char* placed = at;
    std::memcpy(placed, text->c_str(), text->size() + 1);
    at += text->size() + 1;
    return placed;
}

// How many entries from `first` on fit in `size` bytes, at most `limit`.
size_t CountFitting(const std::vector<ResourceEntry>& entries, size_t first, size_t limit,
                    size_t size)
{
    size_t used = 0;
    size_t fitting = 0;
    while (first + fitting < entries.size() && fitting < limit) {
        used += EntrySize(entries[first + fitting]);
        if (used > size)
            break;
        ++fitting;
    }
    return fitting;
}

} // namespace

size_t EntrySize(const ResourceEntry& entry)
{
    return sizeof(NetResource) + TextSize(entry.localName) + TextSize(entry.remoteName) +
           TextSize(entry.comment) + TextSize(entry.provider);
}

DWORD FillResourceBuffer(const std::vector<ResourceEntry>& entries, size_t& next, DWORD* count,
                         void* buffer, DWORD* bufferSize)
{
    if (count == nullptr || bufferSize == nullptr || *count == 0 ||
        (buffer == nullptr && *bufferSize != 0) ||
        reinterpret_cast<uintptr_t>(buffer) % alignof(NetResource) != 0)
        return ERROR_INVALID_PARAMETER;
    if (next >= entries.size()) {
        *count = 0;
        return ERROR_NO_MORE_ITEMS;
    }
    const size_t limit = *count == kAsManyAsFit ? entries.size() : *count;
    const size_t fitting = CountFitting(entries, next, limit, *bufferSize);
    if (fitting == 0) {
        *bufferSize = static_cast<DWORD>(EntrySize(entries[next]));
        return ERROR_MORE_DATA;
    }
    auto* records = static_cast<NetResource*>(buffer);
    char* texts = reinterpret_cast<char*>(records + fitting);
    for (size_t i = 0; i < fitting; ++i) {
        const ResourceEntry& entry = entries[next + i];
        NetResource* record = new (&records[i]) NetResource{};
        record->dwScope = entry.dwScope;
        record->dwType = entry.dwType;
        record->dwDisplayType = entry.dwDisplayType;
        record->dwUsage = entry.dwUsage;
        record->lpLocalName = PlaceText(entry.localName, texts);
        record->lpRemoteName = PlaceText(entry.remoteName, texts);
        record->lpComment = PlaceText(entry.comment, texts);
        record->lpProvider = PlaceText(entry.provider, texts);
    }
    next += fitting;
    *count = static_cast<DWORD>(fitting);
    return NO_ERROR_;
}
