// The libsmbclient back end against the private smbd of scripts/testservers.

#include "platform/netenum/smbenumerator.h"
#include "tests/support/testservers.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <map>
#include <optional>
#include <set>

namespace
{

constexpr DWORD kAll = 0xFFFFFFFF;

struct Record {
    DWORD scope, type, displayType, usage;
    std::string remote;
    std::optional<std::string> comment;
    std::string provider;
    bool hasLocalName;
};

// The record points to `remote`, which must outlive it.
NetResource Container(std::string& remote, DWORD displayType)
{
    NetResource r{};
    r.dwScope = RESOURCE_GLOBALNET;
    r.dwDisplayType = displayType;
    r.dwUsage = RESOURCEUSAGE_CONTAINER;
    r.lpRemoteName = const_cast<char*>(remote.c_str());
    return r;
}

class SmbEnumeratorTest : public ::testing::Test
{
protected:
    // Every record of a level by its remote name, read with the given buffer per call.
    std::map<std::string, Record> List(const NetResource* container, DWORD type = RESOURCETYPE_ANY,
                                       DWORD usage = 0)
    {
        std::map<std::string, Record> records;
        EnumHandle handle = nullptr;
        const DWORD opened = net.WNetOpenEnum(RESOURCE_GLOBALNET, type, usage, container, &handle);
        EXPECT_EQ(opened, NO_ERROR_);
        if (opened != NO_ERROR_)
            return records;
        std::vector<NetResource> buffer(16384 / sizeof(NetResource));
        for (;;) {
            DWORD count = kAll;
            DWORD size = static_cast<DWORD>(buffer.size() * sizeof(NetResource));
            const DWORD result = net.WNetEnumResource(handle, &count, buffer.data(), &size);
            if (result != NO_ERROR_) {
                EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
                break;
            }
            for (DWORD i = 0; i < count; ++i) {
                const NetResource& r = buffer[i];
                std::optional<std::string> comment;
                if (r.lpComment)
                    comment = r.lpComment;
                records[r.lpRemoteName] = {r.dwScope,
                                           r.dwType,
                                           r.dwDisplayType,
                                           r.dwUsage,
                                           r.lpRemoteName,
                                           comment,
                                           r.lpProvider ? r.lpProvider : "<null>",
                                           r.lpLocalName != nullptr};
            }
        }
        EXPECT_EQ(net.WNetCloseEnum(handle), NO_ERROR_);
        return records;
    }

    DWORD OpenResult(const NetResource* container)
    {
        EnumHandle handle = nullptr;
        const DWORD result =
            net.WNetOpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_PRINT, 0, container, &handle);
        if (result == NO_ERROR_)
            net.WNetCloseEnum(handle);
        return result;
    }

    std::set<std::string> PrinterNames() const
    {
        std::set<std::string> names;
        for (const char* key :
             {"SMB_SHARE_LASER", "SMB_SHARE_PLAIN", "SMB_SHARE_BRACKETS", "SMB_SHARE_ODD"})
            names.insert(servers.Unc(servers.Get(key)));
        const int bulk = std::stoi(servers.Get("SMB_BULK_COUNT"));
        for (int i = 1; i <= bulk; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%04d", i);
            names.insert(servers.Unc(servers.Get("SMB_BULK_PREFIX") + name));
        }
        return names;
    }

    TestServers servers = TestServers::Load();
    std::string serverName = "\\\\" + servers.Get("SMB_HOST");
    NetResource server = Container(serverName, RESOURCEDISPLAYTYPE_SERVER);
    SmbEnumerator net;
};

std::set<std::string> Keys(const std::map<std::string, Record>& records)
{
    std::set<std::string> keys;
    for (const auto& [key, record] : records)
        keys.insert(key);
    return keys;
}

} // namespace

TEST_F(SmbEnumeratorTest, AServerListsItsPrinterAndDiskSharesAsRecords)
{
    const std::map<std::string, Record> records = List(&server);
    std::set<std::string> expected = PrinterNames();
    const std::string disk = servers.Unc(servers.Get("SMB_SHARE_DISK"));
    expected.insert(disk);
    EXPECT_EQ(Keys(records), expected) << "no IPC$, nothing else";

    const Record& laser = records.at(servers.Unc(servers.Get("SMB_SHARE_LASER")));
    EXPECT_EQ(laser.scope, RESOURCE_GLOBALNET);
    EXPECT_EQ(laser.type, RESOURCETYPE_PRINT);
    EXPECT_EQ(laser.displayType, RESOURCEDISPLAYTYPE_SHARE);
    EXPECT_EQ(laser.usage, RESOURCEUSAGE_CONNECTABLE);
    EXPECT_EQ(laser.comment, servers.Get("SMB_COMMENT_LASER"));
    EXPECT_EQ(laser.provider, kSmbProvider);
    EXPECT_FALSE(laser.hasLocalName);
    EXPECT_EQ(records.at(servers.Unc(servers.Get("SMB_SHARE_PLAIN"))).comment, "")
        << "no comment is an empty text, not null";
    EXPECT_EQ(records.at(servers.Unc(servers.Get("SMB_SHARE_BRACKETS"))).comment,
              servers.Get("SMB_COMMENT_BRACKETS"));
    EXPECT_EQ(records.at(disk).type, RESOURCETYPE_DISK);
    EXPECT_EQ(records.at(disk).usage, RESOURCEUSAGE_CONNECTABLE);
}

TEST_F(SmbEnumeratorTest, TypeAndUsageFiltersLeaveRecordsOut)
{
    EXPECT_EQ(Keys(List(&server, RESOURCETYPE_PRINT)), PrinterNames());
    EXPECT_EQ(List(&server, RESOURCETYPE_DISK).size(), 1u);
    EXPECT_TRUE(List(&server, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER).empty());
    EXPECT_EQ(List(&server, RESOURCETYPE_ANY, RESOURCEUSAGE_CONNECTABLE).size(),
              PrinterNames().size() + 1);
}

TEST_F(SmbEnumeratorTest, LevelsStayOpenTogetherUntilEachIsClosed)
{
    EnumHandle first = nullptr, second = nullptr;
    ASSERT_EQ(net.WNetOpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_PRINT, 0, &server, &first),
              NO_ERROR_);
    ASSERT_EQ(net.WNetOpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_PRINT, 0, &server, &second),
              NO_ERROR_);
    std::vector<NetResource> buffer(300);
    auto readOne = [&](EnumHandle handle) {
        DWORD count = 1;
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(NetResource));
        const DWORD result = net.WNetEnumResource(handle, &count, buffer.data(), &size);
        return result == NO_ERROR_ && count == 1 ? std::string(buffer[0].lpRemoteName)
                                                 : "result " + std::to_string(result);
    };
    const std::string a = readOne(first);
    const std::string b = readOne(second);
    EXPECT_EQ(a, b) << "each handle has its own position";
    size_t rest = 0;
    while (readOne(first).starts_with("\\\\"))
        ++rest;
    EXPECT_EQ(rest + 1, PrinterNames().size());
    EXPECT_EQ(net.WNetCloseEnum(first), NO_ERROR_);
    EXPECT_NE(readOne(second), a) << "closing one leaves the other";
    EXPECT_EQ(net.WNetCloseEnum(second), NO_ERROR_);
    EXPECT_EQ(net.WNetCloseEnum(second), ERROR_INVALID_HANDLE);
    EXPECT_EQ(readOne(first), "result " + std::to_string(ERROR_INVALID_HANDLE));
}

TEST_F(SmbEnumeratorTest, ServersThatCannotBeListedGiveACodeFromTheOpening)
{
    for (const char* key : {"SMB_DEAD_HOST", "SMB_TRICKLING_HOST", "SMB_ABSENT_HOST",
                            "SMB_SILENT_HOST", "SMB_REFUSING_HOST"}) {
        std::string name = "\\\\" + servers.Get(key);
        const NetResource host = Container(name, RESOURCEDISPLAYTYPE_SERVER);
        EXPECT_EQ(OpenResult(&host), ERROR_BAD_NETPATH) << key;
    }
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a listing left a child behind";
    std::string unknownName = "\\\\no-such-server.invalid";
    const NetResource unknown = Container(unknownName, RESOURCEDISPLAYTYPE_SERVER);
    EXPECT_EQ(OpenResult(&unknown), ERROR_BAD_NETPATH);
}

TEST_F(SmbEnumeratorTest, OnlyContainersCanBeOpened)
{
    std::string share = servers.Unc(servers.Get("SMB_SHARE_LASER"));
    const NetResource asShare = Container(share, RESOURCEDISPLAYTYPE_SHARE);
    EXPECT_EQ(OpenResult(&asShare), ERROR_NOT_CONTAINER);
    const NetResource asServer = Container(share, RESOURCEDISPLAYTYPE_SERVER);
    EXPECT_EQ(OpenResult(&asServer), ERROR_NOT_CONTAINER) << "the name decides";
    std::string empty;
    const NetResource nameless = Container(empty, RESOURCEDISPLAYTYPE_SERVER);
    EXPECT_EQ(OpenResult(&nameless), ERROR_INVALID_PARAMETER);
    EnumHandle handle = nullptr;
    EXPECT_EQ(net.WNetOpenEnum(RESOURCE_GLOBALNET, 7, 0, &server, &handle),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(net.WNetOpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, &server, nullptr),
              ERROR_INVALID_PARAMETER);
}
