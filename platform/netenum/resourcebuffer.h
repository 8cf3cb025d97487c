#pragma once

#include "platform/netenum/networkenumerator.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One record of a listing, owning its texts; an absent text becomes a null pointer.
struct ResourceEntry {
    DWORD dwScope = RESOURCE_GLOBALNET;
    DWORD dwType = RESOURCETYPE_ANY;
    DWORD dwDisplayType = RESOURCEDISPLAYTYPE_GENERIC;
    DWORD dwUsage = 0;
    std::optional<std::string> localName;
    std::optional<std::string> remoteName;
    std::optional<std::string> comment;
    std::optional<std::string> provider;
};

// The bytes one entry takes in a WNetEnumResource buffer: its record and its texts.
size_t EntrySize(const ResourceEntry& entry);

// WNetEnumResource over a listing already read: copies entries from `next` on into the
// caller's buffer (records first, then their texts) and moves `next` past them.
DWORD FillResourceBuffer(const std::vector<ResourceEntry>& entries, size_t& next, DWORD* count,
                         void* buffer, DWORD* bufferSize);
