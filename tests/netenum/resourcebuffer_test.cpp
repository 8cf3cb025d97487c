// Filling a WNetEnumResource buffer from a listing that was read whole.

#include "platform/netenum/resourcebuffer.h"

#include <gtest/gtest.h>

namespace
{

constexpr DWORD kAll = 0xFFFFFFFF;

std::vector<ResourceEntry> Listing(int size)
{
    std::vector<ResourceEntry> entries(size);
    for (int i = 0; i < size; ++i) {
        entries[i].dwType = RESOURCETYPE_PRINT;
        entries[i].remoteName = "\\\\S\\share" + std::to_string(i);
        if (i % 2)
            entries[i].comment = "c" + std::to_string(i);
    }
    return entries;
}

// Reads the whole listing, `count` and `size` bytes per call: the remote names, and how many
// came with each call. Every text must lie inside the buffer, after the records.
std::vector<std::string> ReadAll(const std::vector<ResourceEntry>& entries, DWORD count, DWORD size,
                                 std::vector<DWORD>& counts)
{
    std::vector<std::string> names;
    std::vector<NetResource> buffer(size / sizeof(NetResource) + 1);
    const char* begin = reinterpret_cast<const char*>(buffer.data());
    size_t next = 0;
    for (DWORD n = count, bufferSize = size;
         FillResourceBuffer(entries, next, &n, buffer.data(), &bufferSize) == NO_ERROR_;
         n = count) {
        EXPECT_EQ(bufferSize, size) << "left as it was";
        counts.push_back(n);
        for (DWORD i = 0; i < n; ++i) {
            for (const char* text : {buffer[i].lpRemoteName, buffer[i].lpComment}) {
                if (text) {
                    EXPECT_GE(text, begin + n * sizeof(NetResource));
                    EXPECT_LT(text, begin + size);
                }
            }
            EXPECT_EQ(buffer[i].lpComment != nullptr, entries[names.size()].comment.has_value());
            names.push_back(buffer[i].lpRemoteName);
        }
    }
    return names;
}

std::vector<std::string> Names(const std::vector<ResourceEntry>& entries)
{
    std::vector<std::string> names;
    for (const ResourceEntry& e : entries)
        names.push_back(*e.remoteName);
    return names;
}

} // namespace

TEST(ResourceBuffer, CountsAndBufferSizesPageThroughEveryEntryOnce)
{
    const std::vector<ResourceEntry> entries = Listing(40);
    std::vector<DWORD> counts;
    EXPECT_EQ(ReadAll(entries, kAll, 16384, counts), Names(entries));
    EXPECT_EQ(counts, std::vector<DWORD>{40});

    counts.clear();
    EXPECT_EQ(ReadAll(entries, 3, 16384, counts), Names(entries));
    std::vector<DWORD> threes(13, 3);
    threes.push_back(1);
    EXPECT_EQ(counts, threes);

    size_t largest = 0;
    for (const ResourceEntry& e : entries)
        largest = std::max(largest, EntrySize(e));
    counts.clear();
    EXPECT_EQ(ReadAll(entries, kAll, static_cast<DWORD>(largest), counts), Names(entries));
    EXPECT_EQ(counts, std::vector<DWORD>(40, 1)) << "never a part of an entry";
}

TEST(ResourceBuffer, TooSmallForOneGivesMoreDataAndTheSizeNeeded)
{
    const std::vector<ResourceEntry> entries = Listing(2);
    std::vector<NetResource> buffer(10);
    size_t next = 0;
    DWORD count = kAll;
    DWORD size = sizeof(NetResource) + 3;
    ASSERT_EQ(FillResourceBuffer(entries, next, &count, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, EntrySize(entries[0]));
    ASSERT_EQ(FillResourceBuffer(entries, next, &count, buffer.data(), &size), NO_ERROR_);
    EXPECT_EQ(count, 1u) << "nothing was taken before";
    EXPECT_EQ(buffer[0].lpRemoteName, *entries[0].remoteName);

    char* misaligned = reinterpret_cast<char*>(buffer.data()) + 1;
    EXPECT_EQ(FillResourceBuffer(entries, next, &count, misaligned, &size),
              ERROR_INVALID_PARAMETER);
    DWORD none = 0;
    EXPECT_EQ(FillResourceBuffer(entries, next, &none, buffer.data(), &size),
              ERROR_INVALID_PARAMETER);
    count = kAll;
    size = 10 * sizeof(NetResource);
    EXPECT_EQ(FillResourceBuffer(entries, next, &count, buffer.data(), &size), NO_ERROR_);
    EXPECT_EQ(FillResourceBuffer(entries, next, &count, buffer.data(), &size), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(count, 0u);
}
