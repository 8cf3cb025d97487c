// Load on one database: CLIENTS client runs, AT_ONCE of them at a time (all by default),
// while this process posts EDITS new rules through the store, one by one, as wdConfig does.
// Prints, tab-separated: client failures, edit failures, lost writes (posted but not
// stored), a lone client's median, the clients' median and 99th percentile under load, all
// in seconds.
//
//   loadbench DIR CLIENTS EDITS [AT_ONCE]
//
// DIR holds wdclient beside its database (wddata.mdb, or a wddata.conf naming a server);
// its rules hold an inactive BENCHPC, so each run is the decision pass alone.

#include "platform/store/connection.h"
#include "platform/store/rowset.h"
#include "shared/databaselocation.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{

using Clock = std::chrono::steady_clock;

pid_t StartClient(const std::string& client)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {client, "/S", "/q", "/CLIENTNAME=BENCHPC"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, client.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// A client that ends in an error shows its message and waits for a person: such a run is
// ended here and counted as failed.
constexpr double kDeadlineSeconds = 60;

// Runs n clients, atOnce at a time; their times, and the number that failed.
std::vector<double> RunClients(const std::string& client, int n, int atOnce, int& failures)
{
    std::map<pid_t, Clock::time_point> started;
    std::vector<double> seconds;
    while (n > 0 || !started.empty()) {
        for (; n > 0 && static_cast<int>(started.size()) < atOnce; --n) {
            const pid_t pid = StartClient(client);
            if (pid < 0)
                ++failures;
            else
                started[pid] = Clock::now();
        }
        int status = 0;
        const pid_t pid = waitpid(-1, &status, WNOHANG);
        if (pid <= 0) {
            for (const auto& [running, at] : started)
                if (std::chrono::duration<double>(Clock::now() - at).count() > kDeadlineSeconds)
                    kill(running, SIGKILL);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        auto it = started.find(pid);
        if (it == started.end())
            continue;
        seconds.push_back(std::chrono::duration<double>(Clock::now() - it->second).count());
        failures += !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        started.erase(it);
    }
    return seconds;
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

// This run's rules, told apart from an earlier run's.
std::string EditPrefix()
{
    return "EDIT" + std::to_string(getpid()) + "-";
}

OpenOptions DatabaseIn(const std::string& dir, Access access)
{
    return {LocateDatabase(dir + "/").location, access};
}

// Posts the edits; the number refused.
int PostEdits(const std::string& dir, int edits)
{
    Connection connection;
    connection.Open(DatabaseIn(dir, Access::ReadWrite));
    RowSet rules(connection, "MapRulesTable");
    rules.SetTableName("MapRules");
    rules.Open();
    int refused = 0;
    for (int i = 0; i < edits; ++i) {
        rules.Append();
        rules.FieldByName("RULENAME").SetAsString(EditPrefix() + std::to_string(i));
        rules.FieldByName("UNCPath1").SetAsString("\\\\srv\\edit");
        rules.FieldByName("Active").SetAsBoolean(false);
        try {
            rules.Post();
        } catch (const StoreError&) {
            ++refused;
            rules.Cancel();
        }
    }
    return refused;
}

long long StoredEdits(const std::string& dir)
{
    Connection connection;
    connection.Open(DatabaseIn(dir, Access::ReadOnly));
    RowSet q(connection, "count");
    q.SQL() = {"SELECT COUNT(*) FROM MapRules WHERE RULENAME LIKE :edits"};
    q.SetParameter("edits", Value::Text(EditPrefix() + "%"));
    q.Open();
    q.First();
    return q.ValueAt(0, 0).IntegerValue();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: loadbench DIR CLIENTS EDITS [AT_ONCE]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::string client = dir + "/wdclient";
    const int clients = std::atoi(argv[2]);
    const int edits = std::atoi(argv[3]);
    const int atOnce = argc == 5 ? std::atoi(argv[4]) : clients;
    try {
        int loneFailures = 0;
        std::vector<double> lone;
        for (int i = 0; i < 8; ++i) { // the first warms the caches and is not counted
            const std::vector<double> one = RunClients(client, 1, 1, loneFailures);
            if (i > 0)
                lone.insert(lone.end(), one.begin(), one.end());
        }
        int refused = 0;
        std::thread editor([&] { refused = PostEdits(dir, edits); });
        int failures = 0;
        const std::vector<double> loaded = RunClients(client, clients, atOnce, failures);
        editor.join();
        const long long lost = edits - refused - StoredEdits(dir);
        std::printf("%d\t%d\t%lld\t%.3f\t%.3f\t%.3f\n", failures + loneFailures, refused, lost,
                    Percentile(lone, 0.5), Percentile(loaded, 0.5), Percentile(loaded, 0.99));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "loadbench: %s\n", e.what());
        return 1;
    }
}
