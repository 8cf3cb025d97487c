// The shared file under load: clients at logon while the administration program writes;
// no client fails and no write is lost.

#include "shared/dbformmain.h"
#include "tests/support/tempdir.h"

#include <atomic>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <thread>

namespace
{

constexpr int kClients = 20, kClientRuns = 200; // the runs the writes are spread over
constexpr int kEdits = 1000, kSeededRules = 100;

std::string Name(char prefix, int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%c%04d", prefix, n);
    return buf;
}

class SharedFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string sql = "INSERT INTO Config VALUES (0, 0);"
                          "INSERT INTO MapRules (RULENAME, Active) VALUES ('LAB*', 0);";
        for (int i = 1; i <= kSeededRules; ++i)
            sql += "INSERT INTO MapRules VALUES ('" + Name('R', i) + "', 'v0', '', '', '', 1, 0);";
        MakeDatabase(dir.Path(), sql);
        CopyClient(dir);
    }
    void Fail(const std::string& what)
    {
        std::lock_guard<std::mutex> lock(mutex);
        failures.push_back(what);
    }
    static void Set(RowSet& rules, const std::string& field, const std::string& value)
    {
        rules.FieldByName(field).SetAsString(value);
    }

    // The administration program's way of changing rules: locate, edit, post; append, post.
    // Each edit waits (a few seconds at most) for its share of the client runs.
    void Writer()
    {
        TBrevUtil util({"wdConfig"});
        util.SetStartDir(dir.Path());
        Tdbform form(util);
        form.SetConnection(false);
        RowSet& rules = form.MapRulesTable;
        for (int k = 1; k <= kEdits; ++k) {
            for (int i = 0; i < 500 && clientRuns * kEdits < k * kClientRuns; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const std::string name = Name('R', (k * 37) % kSeededRules + 1);
            if (!rules.Locate("RULENAME", name))
                return Fail("lost row " + name);
            rules.Edit();
            Set(rules, "UNCPath1", "v" + std::to_string(k));
            rules.Post();
            expected[name] = "v" + std::to_string(k);
            if (k % 5 == 0) {
                rules.Append();
                Set(rules, "RULENAME", Name('N', k / 5));
                Set(rules, "UNCPath1", Name('N', k / 5));
                rules.Post();
            }
        }
    }

    void Client(int n)
    {
        const std::string log = dir.File("client" + std::to_string(n) + ".log");
        do {
            // A run that fails shows a message box and would wait for OK for ever.
            const bool ok = RunProgram({"/usr/bin/timeout", "60", dir.File("wdclient"), "/S",
                                        "/CLIENTNAME=LAB" + std::to_string(n)},
                                       log) == 0;
            ++clientRuns;
            if (!ok)
                Fail("client " + std::to_string(n) + ": " + ReadFileBytes(log));
        } while (!writerDone);
    }

    TempDir dir;
    std::mutex mutex;
    std::vector<std::string> failures;
    std::map<std::string, std::string> expected;
    std::atomic<bool> writerDone{false};
    std::atomic<int> clientRuns{0};
};

} // namespace

TEST_F(SharedFileTest, ClientsRunWhileTheAdministratorWritesAndNothingIsLost)
{
    std::vector<std::thread> threads;
    for (int n = 0; n < kClients; ++n)
        threads.emplace_back([this, n] { Client(n); });
    try {
        Writer();
    } catch (const std::exception& e) {
        Fail(std::string("writer: ") + e.what());
    }
    writerDone = true;
    for (std::thread& t : threads)
        t.join();

    EXPECT_TRUE(failures.empty()) << failures.size() << " failures, first: " << failures.front();
    const std::string db = dir.File("wddata.mdb");
    EXPECT_EQ(QueryValue(db, "select count(*) from MapRules where RULENAME like 'N%' and "
                             "UNCPath1 = RULENAME"),
              std::to_string(kEdits / 5));
    int wrong = 0;
    for (const auto& [name, value] : expected)
        wrong += QueryValue(db, "select UNCPath1 from MapRules where RULENAME = '" + name + "'") !=
                 value;
    EXPECT_EQ(wrong, 0) << "edits lost";
    EXPECT_EQ(QueryValue(db, "select count(*) from MapRules"), std::to_string(kSeededRules + 201));
}
