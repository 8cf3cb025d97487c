// The discovery walk over a scripted network, for what a real one cannot give: levels that
// fail half way, odd records, and how the walk calls the network; and a level's buffer filled
// where no real listing can force it to. (Names too long: the found-line fuzz target.)

#include "admin/findprinter.h"
#include "platform/netenum/resourcebuffer.h"

#include <QListWidget>
#include <QProgressBar>
#include <gtest/gtest.h>

#include <map>

namespace
{

using Lines = std::vector<std::string>;
using Text = std::optional<std::string>;
const std::string kTop = "<top>";

ResourceEntry Record(DWORD type, DWORD display, DWORD usage, Text remote, Text comment = {})
{
    return {RESOURCE_GLOBALNET, type, display, usage, {}, remote, comment, {}};
}

ResourceEntry Printer(const std::string& remote, Text comment = "")
{
    return Record(RESOURCETYPE_PRINT, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE, remote,
                  comment);
}

ResourceEntry Server(const std::string& remote)
{
    return Record(RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_SERVER, RESOURCEUSAGE_CONTAINER, remote);
}

// The fixture is the network, scripted by levels named by their container's remote name
// (kTop: the top of the network); opening any other fails. It fails the test on what no real
// network would take: a call without a full buffer of the level's own.
class ScanNetworkPrinters : public ::testing::Test, public NetworkEnumerator
{
protected:
    struct Level {
        std::vector<std::vector<ResourceEntry>> batches; // one WNetEnumResource call each
        DWORD endResult = ERROR_NO_MORE_ITEMS;           // every call after them
    };

    DWORD WNetOpenEnum(DWORD, DWORD, DWORD, const NetResource* container,
                       EnumHandle* handle) override
    {
        const char* name = container ? container->lpRemoteName : kTop.c_str();
        opened.push_back(name ? name : "<null>");
        const auto level = levels.find(opened.back());
        if (level == levels.end())
            return ERROR_BAD_NETPATH;
        *handle = &level->second;
        open_[*handle] = nullptr;
        return NO_ERROR_;
    }
    DWORD WNetEnumResource(EnumHandle handle, DWORD* count, void* buffer,
                           DWORD* bufferSize) override
    {
        EXPECT_TRUE(*count == 0xFFFFFFFF && *bufferSize == 16384) << "a call for less than all";
        for (const auto& [other, itsBuffer] : open_)
            EXPECT_TRUE(other == handle || itsBuffer != buffer) << "a buffer another level uses";
        open_.at(handle) = buffer;
        auto& batches = static_cast<Level*>(handle)->batches;
        if (batches.empty())
            return static_cast<Level*>(handle)->endResult;
        size_t next = 0;
        const DWORD result = FillResourceBuffer(batches[0], next, count, buffer, bufferSize);
        batches.erase(batches.begin());
        return result;
    }
    DWORD WNetCloseEnum(EnumHandle handle) override
    {
        return open_.erase(handle) ? NO_ERROR_ : ERROR_INVALID_HANDLE;
    }

    Lines Scan()
    {
        list.clear();
        ::ScanNetworkPrinters(*this, &list, &progress);
        Lines lines;
        for (int i = 0; i < list.count(); ++i)
            lines.push_back(list.item(i)->text().toStdString());
        EXPECT_TRUE(open_.empty()) << "every level opened is closed";
        return lines;
    }

    std::map<std::string, Level> levels;
    Lines opened;
    QListWidget list;
    QProgressBar progress;

private:
    std::map<EnumHandle, void*> open_; // with the buffer of its last call
};

} // namespace

TEST_F(ScanNetworkPrinters, AFailingLevelKeepsWhatItFoundAndTheLevelAboveGoesOn)
{
    levels[kTop] = {{{Server("\\\\S1")}, {Server("\\\\S2")}, {Server("\\\\S3"), Server("\\\\S4")}}};
    // S1 fails on its second call, S2 cannot be opened, S3 ends with an error.
    levels["\\\\S1"] = {{{Printer("\\\\S1\\a", "A"), Printer("\\\\S1\\b")}}, ERROR_NO_NETWORK};
    levels["\\\\S3"] = {{{Printer("\\\\S3\\c")}}, ERROR_EXTENDED_ERROR};
    levels["\\\\S4"] = {{{Printer("\\\\S4\\d")}}};
    EXPECT_EQ(Scan(), (Lines{"\\\\S1\\a[A]", "\\\\S1\\b[]", "\\\\S3\\c[]", "\\\\S4\\d[]"}));
    EXPECT_EQ(opened, (Lines{kTop, "\\\\S1", "\\\\S2", "\\\\S3", "\\\\S4"}));
}

TEST_F(ScanNetworkPrinters, ContainersAreDescendedIntoAndOnlyNamedPrinterSharesListed)
{
    const DWORD share = RESOURCEDISPLAYTYPE_SHARE, one = RESOURCEUSAGE_CONNECTABLE;
    levels[kTop] = {
        {{Record(RESOURCETYPE_PRINT, share, one | RESOURCEUSAGE_CONTAINER, "\\\\S\\pool", "P"),
          Record(RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_NETWORK, RESOURCEUSAGE_CONTAINER, ""),
          Record(RESOURCETYPE_DISK, share, one, "\\\\S\\files", "disk"),
          Record(RESOURCETYPE_PRINT, RESOURCEDISPLAYTYPE_GENERIC, one, "\\\\S\\generic"),
          Record(RESOURCETYPE_PRINT, share, one, "", "no name"),
          Record(RESOURCETYPE_PRINT, share, one, std::nullopt, "null name"),
          Printer("\\\\S\\last", std::nullopt)}}};
    levels["\\\\S\\pool"] = {{{Printer("\\\\S\\pool\\inner", "in")}}};
    levels[""] = {{{Printer("\\\\T\\under-nameless", "u")}}};
    // The top's records outlive the levels below: each level has a buffer of its own.
    EXPECT_EQ(Scan(), (Lines{"\\\\S\\pool[P]", "\\\\S\\pool\\inner[in]", "\\\\T\\under-nameless[u]",
                             "\\\\S\\last[]"}));
}

TEST_F(ScanNetworkPrinters, TheProgressBarStepsTenPerRecordAndStartsOverPastItsEnd)
{
    progress.setRange(0, 500);
    for (const auto& [records, value] : {std::pair{3, 30}, {50, 500}, {51, 0}, {53, 20}}) {
        levels[kTop].batches = {{}};
        for (int i = 0; i < records; ++i) // unscripted: they fail to open
            levels[kTop].batches[0].push_back(Server("\\\\S" + std::to_string(i)));
        progress.setValue(0);
        Scan();
        EXPECT_EQ(progress.value(), value) << records << " records";
    }
    ::ScanNetworkPrinters(*this, &list, nullptr); // a walk without a bar
}

TEST(ResourceBuffer, ACallTakesWholeEntriesUpToItsCountAndNothingPastTheEnd)
{
    std::vector<ResourceEntry> entries = {Printer("\\\\S\\a", "A"), Printer("\\\\S\\b"),
                                          Record(0xBAD, 0, 0, std::nullopt)};
    entries.pop_back(); // a read past the end would still find its numbers
    std::vector<NetResource> buffer(8);
    size_t next = 0;
    DWORD count = 0xFFFFFFFF, size = sizeof(NetResource) + 3;
    ASSERT_EQ(FillResourceBuffer(entries, next, &count, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, EntrySize(entries[0])) << "the size the first entry needs";
    char* misaligned = reinterpret_cast<char*>(buffer.data()) + 1;
    EXPECT_EQ(FillResourceBuffer(entries, next, &count, misaligned, &size),
              ERROR_INVALID_PARAMETER);
    for (const DWORD asked : {1u, 0u, 0xFFFFFFFFu}) {
        count = asked;
        size = sizeof(NetResource) * 8;
        EXPECT_EQ(FillResourceBuffer(entries, next, &count, buffer.data(), &size),
                  asked ? NO_ERROR_ : ERROR_INVALID_PARAMETER);
        EXPECT_EQ(count, asked ? 1u : 0u) << asked;
    }
    EXPECT_EQ(FillResourceBuffer(entries, next, &count, buffer.data(), &size), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(count, 0u);
}
