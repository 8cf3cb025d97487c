// The shared file under load: clients at logon while the administration program writes;
// no client fails and no write is lost.

#include "shared/dbformmain.h"
#include "tests/support/tempdir.h"

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace
{

constexpr int kClients = 20;
constexpr int kEdits = 1000;
constexpr int kNewRules = 200;
constexpr int kSeededRules = 100;
// The writes are spread over this many client runs, so that they overlap.
constexpr int kClientRuns = 200;

std::string Name(char prefix, int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%c%04d", prefix, n);
    return buf;
}

// Runs the program to its end: the exit code, or -1 when it could not start or was stopped.
int RunClient(std::string program, std::string clientName, const std::string& log)
{
    // A run that fails shows a message box and would wait for OK for ever.
    std::string timeout = "/usr/bin/timeout", seconds = "60", silent = "/S";
    clientName = "/CLIENTNAME=" + clientName;
    char* argv[] = {timeout.data(), seconds.data(), program.data(), silent.data(),
                    clientName.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (rc != 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SharedFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::string sql = "INSERT INTO Config VALUES (0, 0);"
                          "INSERT INTO MapRules (RULENAME, Active) VALUES ('LAB*', 0);";
        for (int i = 1; i <= kSeededRules; ++i)
            sql += "INSERT INTO MapRules VALUES ('" + Name('R', i) +
                   "', 'v0', 'v0', 'v0', 'v0', 1, 0);";
        MakeDatabase(dir.Path(), sql);
        CopyClient(dir);
    }
    Tdbform* OpenAs(bool readOnly, std::unique_ptr<Tdbform>& holder)
    {
        TBrevUtil util({"wdConfig"});
        util.SetStartDir(dir.Path());
        holder = std::make_unique<Tdbform>(util);
        holder->SetConnection(readOnly);
        return holder.get();
    }
    void Fail(const std::string& what)
    {
        std::lock_guard<std::mutex> lock(mutex);
        failures.push_back(what);
    }

    // The administration program's way of changing rules: locate, edit, post; append, post.
    void Writer()
    {
        std::unique_ptr<Tdbform> holder;
        try {
            RowSet& rules = OpenAs(false, holder)->MapRulesTable;
            for (int k = 1; k <= kEdits; ++k) {
                WaitForClients(k);
                std::string name = Name('R', (k * 37) % kSeededRules + 1);
                if (!rules.Locate("RULENAME", name))
                    return Fail("lost row " + name);
                rules.Edit();
                for (int slot = 1; slot <= 4; ++slot)
                    rules.FieldByName("UNCPath" + std::to_string(slot))
                        .SetAsString("v" + std::to_string(k));
                rules.FieldByName("Default").SetAsInteger(k % 4 + 1);
                rules.Post();
                expected[name] = "v" + std::to_string(k);
                if (k % 5 == 0) {
                    std::string added = Name('N', k / 5);
                    rules.Append();
                    rules.FieldByName("RULENAME").SetAsString(added);
                    for (int slot = 1; slot <= 4; ++slot)
                        rules.FieldByName("UNCPath" + std::to_string(slot)).SetAsString(added);
                    rules.FieldByName("Active").SetAsBoolean(false);
                    rules.Post();
                }
            }
        } catch (const std::exception& e) {
            Fail(std::string("writer: ") + e.what());
        }
    }

    // Paces the writes to the clients' progress (for at most a few seconds at a time).
    void WaitForClients(int edit)
    {
        for (int i = 0; i < 500 && clientRuns * kEdits < edit * kClientRuns; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    void Client(int n)
    {
        std::string log = dir.File("client" + std::to_string(n) + ".log");
        do {
            const int code = RunClient(dir.File("wdclient"), "LAB" + std::to_string(n), log);
            ++clientRuns;
            if (code != 0)
                Fail("client " + std::to_string(n) + " ended with " + std::to_string(code) + ": " +
                     ReadFileBytes(log));
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
    Writer();
    writerDone = true;
    for (std::thread& t : threads)
        t.join();

    EXPECT_TRUE(failures.empty()) << failures.size() << " failures, first: " << failures.front();
    std::string db = dir.File("wddata.mdb");
    EXPECT_EQ(QueryValue(db, "select count(*) from MapRules where RULENAME like 'R%'"),
              std::to_string(kSeededRules));
    EXPECT_EQ(QueryValue(db, "select count(*) from MapRules where RULENAME like 'N%' and "
                             "UNCPath1 = RULENAME and UNCPath4 = RULENAME"),
              std::to_string(kNewRules));
    int wrong = 0;
    for (const auto& [name, value] : expected)
        wrong += QueryValue(db, "select UNCPath1 || UNCPath2 || UNCPath3 || UNCPath4 from "
                                "MapRules where RULENAME = '" +
                                    name + "'") != value + value + value + value;
    EXPECT_EQ(wrong, 0) << "edits lost";
    EXPECT_GE(clientRuns, kClients);
}
