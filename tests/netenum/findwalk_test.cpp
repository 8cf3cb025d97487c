// The discovery walk over a scripted network: what a real network cannot easily give.

#include "admin/findprinter.h"
#include "tests/netenum/scriptednetwork.h"

#include <QListWidget>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace
{

using Lines = std::vector<std::string>;
using Batches = std::vector<std::vector<ResourceEntry>>;

class WalkTest : public ::testing::Test
{
protected:
    Lines Scan()
    {
        list.clear();
        ScanNetworkPrinters(net, &list, &progress);
        Lines lines;
        for (int i = 0; i < list.count(); ++i) {
            lines.push_back(list.item(i)->text().toStdString());
            EXPECT_EQ(list.item(i)->checkState(), Qt::Unchecked);
        }
        return lines;
    }

    ScriptedNetwork net;
    QListWidget list;
    QProgressBar progress;
};

// The first `count` characters (code points) of a UTF-8 text, counted independently of the
// walk.
std::string FirstCharacters(const std::string& text, int count)
{
    QList<uint> ucs4 = QString::fromStdString(text).toUcs4();
    ucs4.resize(std::min<qsizetype>(count, ucs4.size()));
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(ucs4.data()), ucs4.size())
        .toStdString();
}

std::string Repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

} // namespace

TEST_F(WalkTest, AFailingLevelKeepsWhatItFoundAndTheLevelAboveGoesOn)
{
    net.levels[ScriptedNetwork::kTop] = {
        NO_ERROR_,
        Batches{{Server("\\\\S1")}, {Server("\\\\S2")}, {Server("\\\\S3"), Server("\\\\S4")}}};
    // S1 fails on its second call, S2 cannot be opened, S3 ends with an error.
    net.levels["\\\\S1"] = {NO_ERROR_, Batches{{Printer("\\\\S1\\a", "A"), Printer("\\\\S1\\b")}},
                            ERROR_NO_NETWORK};
    net.levels["\\\\S2"] = {ERROR_ACCESS_DENIED, {}};
    net.levels["\\\\S3"] = {NO_ERROR_, Batches{{Printer("\\\\S3\\c")}}, ERROR_EXTENDED_ERROR};
    net.levels["\\\\S4"] = {NO_ERROR_, Batches{{Printer("\\\\S4\\d")}}};

    EXPECT_EQ(Scan(), (Lines{"\\\\S1\\a[A]", "\\\\S1\\b[]", "\\\\S3\\c[]", "\\\\S4\\d[]"}));
    EXPECT_EQ(net.opened, (Lines{ScriptedNetwork::kTop, "\\\\S1", "\\\\S2", "\\\\S3", "\\\\S4"}));
    EXPECT_EQ(net.OpenCount(), 0u) << "every opened level is closed, failed ones too";
    EXPECT_EQ(net.closes, 4);
    EXPECT_EQ(net.badCloses, 0) << "a level that could not be opened has no handle to close";
}

TEST_F(WalkTest, ContainersAreDescendedIntoAndOnlyNamedPrinterSharesListed)
{
    const DWORD both = RESOURCEUSAGE_CONNECTABLE | RESOURCEUSAGE_CONTAINER;
    net.levels[ScriptedNetwork::kTop] = {
        NO_ERROR_,
        Batches{{Record(RESOURCETYPE_PRINT, RESOURCEDISPLAYTYPE_SHARE, both, "\\\\S\\pool", "P"),
                 Record(RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_NETWORK, RESOURCEUSAGE_CONTAINER, ""),
                 Record(RESOURCETYPE_DISK, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE,
                        "\\\\S\\files", "disk"),
                 Record(RESOURCETYPE_PRINT, RESOURCEDISPLAYTYPE_GENERIC, RESOURCEUSAGE_CONNECTABLE,
                        "\\\\S\\generic"),
                 Record(RESOURCETYPE_PRINT, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE,
                        "", "no name"),
                 Record(RESOURCETYPE_PRINT, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE,
                        nullptr, "null name"),
                 Printer("\\\\S\\last", nullptr)}}};
    net.levels["\\\\S\\pool"] = {NO_ERROR_, Batches{{Printer("\\\\S\\pool\\inner", "in")}}};
    net.levels[""] = {NO_ERROR_, Batches{{Printer("\\\\T\\under-nameless", "u")}}};

    EXPECT_EQ(Scan(), (Lines{"\\\\S\\pool[P]", "\\\\S\\pool\\inner[in]", "\\\\T\\under-nameless[u]",
                             "\\\\S\\last[]"}));
    EXPECT_EQ(net.OpenCount(), 0u);
}

TEST_F(WalkTest, RemoteNamesAreCutTo255CharactersNeverInsideOne)
{
    const std::string ascii = "\\\\S\\" + std::string(300, 'a');
    const std::string mixed = "\\\\S\\x" + Repeat("\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E", 100);
    const std::string exact = "\\\\S\\" + Repeat("\xE2\x82\xAC", 251);
    net.levels[ScriptedNetwork::kTop] = {
        NO_ERROR_, Batches{{Printer(ascii, "c"), Printer(mixed), Printer(exact, "e")}}};

    const Lines lines = Scan();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], ascii.substr(0, 255) + "[c]");
    EXPECT_EQ(lines[1], FirstCharacters(mixed, 255) + "[]");
    EXPECT_EQ(lines[2], exact + "[e]") << "255 characters are kept whole";
    for (int shift = 0; shift < 4; ++shift) {
        const std::string name = "\\\\S\\" + std::string(shift, 'z') + Repeat("\xE2\x82\xAC", 260);
        EXPECT_EQ(FoundPrinterLine(name.c_str(), nullptr), FirstCharacters(name, 255) + "[]");
    }
}

TEST_F(WalkTest, EachLevelHasAFullBufferOfItsOwnOnEveryCall)
{
    net.levels[ScriptedNetwork::kTop] = {
        NO_ERROR_, Batches{{Server("\\\\S1"), Printer("\\\\Top\\p", "kept")}, {Server("\\\\S2")}}};
    net.levels["\\\\S1"] = {NO_ERROR_, Batches{{Server("\\\\S1\\deeper"), Printer("\\\\S1\\q")}}};
    net.levels["\\\\S1\\deeper"] = {NO_ERROR_, Batches{{Printer("\\\\S1\\r", "deep")}}};
    net.levels["\\\\S2"] = {NO_ERROR_, Batches{{Printer("\\\\S2\\s")}, {Printer("\\\\S2\\t")}}};

    EXPECT_EQ(Scan(), (Lines{"\\\\S1\\r[deep]", "\\\\S1\\q[]", "\\\\Top\\p[kept]", "\\\\S2\\s[]",
                             "\\\\S2\\t[]"}));
    ASSERT_EQ(net.calls.size(), 10u); // every level's batches and its end
    for (const ScriptedNetwork::Call& call : net.calls) {
        EXPECT_EQ(call.count, 0xFFFFFFFFu) << call.level;
        EXPECT_EQ(call.bufferSize, 16384u) << call.level;
    }
    EXPECT_FALSE(net.sharedBuffer);
    EXPECT_EQ(net.OpenCount(), 0u);
    EXPECT_EQ(net.badCloses, 0);
}

TEST_F(WalkTest, TheProgressBarStepsTenPerRecordAndStartsOverPastItsEnd)
{
    progress.setRange(0, 500);
    auto scanRecords = [this](int records) {
        std::vector<ResourceEntry> batch;
        for (int i = 0; i < records; ++i)
            batch.push_back(Server("\\\\S" + std::to_string(i))); // unscripted: fail to open
        net.levels[ScriptedNetwork::kTop] = {NO_ERROR_, Batches{batch}};
        progress.setValue(0);
        Scan();
        return progress.value();
    };
    EXPECT_EQ(scanRecords(3), 30);
    EXPECT_EQ(scanRecords(50), 500);
    EXPECT_EQ(scanRecords(51), 0);
    EXPECT_EQ(scanRecords(53), 20);

    QListWidget list;
    ScanNetworkPrinters(net, &list, nullptr);
    EXPECT_EQ(list.count(), 0) << "a walk without a bar";
}
