// wdprintd on the private cupsd (stock policy: only lpadmin changes queues): users outside
// lpadmin get their rules' printers through it, and hostile callers get nothing.

#include "platform/print/printrequest.h"
#include "platform/smb/uniquefd.h"
#include "tests/support/asuser.h"
#include "tests/support/printstate.h"
#include "tests/support/tempdir.h"
#include "tests/support/testservers.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace
{

using Strings = std::vector<std::string>;

const char* const kUserA = "wdtest-a";
const char* const kUserB = "wdtest-b";
const char* const kService = "wdtest-svc";

// The service as a package runs it: its own account in lpadmin, the database beside it.
class PrintServiceTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        servers = std::make_unique<TestServers>(TestServers::Load());
        servers->Export();
        EnsureTestUser(kUserA);
        EnsureTestUser(kUserB);
        EnsureTestUser(kService, "lpadmin");
    }
    void SetUp() override
    {
        ResetPrintServer(*servers);
        std::filesystem::permissions(dir.Path(), std::filesystem::perms::all);
        std::filesystem::copy_file(WD_BINARY_DIR "/service/wdprintd", dir.File("wdprintd"));
        client = CopyClient(dir);
        std::filesystem::create_directory(dir.File("run"));
        Own(dir.File("run"), kService);
        for (const char* user : {kUserA, kUserB}) {
            std::filesystem::create_directory(dir.File(user));
            Own(dir.File(user), user);
        }
        Database(0, {"laser", "plain"});
        StartService();
    }
    void TearDown() override
    {
        kill(service, SIGTERM);
        waitpid(service, nullptr, 0);
    }

    static void Own(const std::string& path, const char* user)
    {
        const passwd* pw = getpwnam(user);
        ASSERT_TRUE(pw && chown(path.c_str(), pw->pw_uid, pw->pw_gid) == 0);
    }
    static std::string Unc(const std::string& share) { return servers->Unc(share); }
    // Every computer's rule: these shares, the second the default. Beside it: another
    // computer's rule, and one whose server the user's variable names.
    void Database(bool clearFirst, const Strings& shares)
    {
        std::filesystem::remove(dir.File("wddata.mdb"));
        Strings slots;
        std::string sql = ConfigRow(clearFirst, false);
        for (const std::string& share : shares)
            slots.push_back(Unc(share));
        for (const std::string& path :
             {Unc("laser"), Unc("plain"), Unc("colour"), std::string("\\\\elsewhere\\laser"),
              std::string("\\\\%SERVER%\\laser")})
            sql += PrinterRow(path);
        MakeDatabase(dir.Path(), sql + RuleRow("*", slots, 2) +
                                     RuleRow("OTHERPC", {Unc("colour")}) +
                                     RuleRow("**", {"\\\\%SERVER%\\laser"}));
        std::filesystem::permissions(dir.File("wddata.mdb"), std::filesystem::perms::all);
    }
    void StartService()
    {
        const std::string log = dir.File("service.log");
        std::vector<std::string> args =
            AsUserCommand(kService, {dir.File("wdprintd"), "--listen", Socket()});
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t io;
        posix_spawn_file_actions_init(&io);
        posix_spawn_file_actions_addopen(&io, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ASSERT_EQ(posix_spawn(&service, argv[0], &io, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&io);
        for (int i = 0; i < 100 && !std::filesystem::exists(Socket()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::string Socket() const { return dir.File("run/wdprintd.sock"); }
    // A silent logon of the user through the service.
    int Logon(const char* user) const
    {
        return RunProgram(AsUserCommand(user, {"/usr/bin/env", "HOME=" + dir.File(user),
                                               "WDPRINTD_SOCKET=" + Socket(), "/usr/bin/timeout",
                                               "60", client, "/S", "/q"}));
    }
    // What the user's lpstat -v lists: the queues CUPS shows the user.
    static Strings Visible(const char* user)
    {
        Strings names;
        const Strings command = AsUserCommand(user, {"lpstat", "-v"});
        for (const std::string& line :
             Lines(RunTool(command[0], Strings(command.begin() + 1, command.end())).out))
            names.push_back(line.substr(11, line.find(':') - 11));
        return names;
    }
    // As root lists it: libcups's destinations leave out the queues root may not print to.
    static std::string Mark(const std::string& queue)
    {
        for (const std::string& line : Lines(RunTool("lpstat", {"-l", "-p", queue}).out))
            if (line.find("Location: ") != std::string::npos)
                return line.substr(line.find("Location: ") + 10);
        return "<none>";
    }
    std::string ServiceLog() const { return ReadFileBytes(dir.File("service.log")); }

    static inline std::unique_ptr<TestServers> servers;
    TempDir dir;
    std::string client;
    pid_t service = 0;
};

// The queue that prints to the share, from root's lpstat -v.
std::string Queue(const std::string& share)
{
    for (const std::string& line : Lines(RunTool("lpstat", {"-v"}).out))
        if (line.ends_with("/" + share))
            return line.substr(11, line.find(':') - 11);
    return "<none>";
}

// Sends raw bytes as the user and returns the answer, or "" when the connection closed
// without one. A caller that says nothing does not even end its sending.
std::string Ask(const char* user, const std::string& socketPath, const std::string& bytes)
{
    const std::string file = "/tmp/wdtest-answer-" + std::to_string(getpid());
    std::remove(file.c_str());
    RunAsUser(user, [&] {
        UniqueFd fd(socket(AF_UNIX, SOCK_STREAM, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
        if (connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            return false;
        for (size_t sent = 0; sent < bytes.size();) {
            const ssize_t n =
                send(fd.get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += static_cast<size_t>(n);
        }
        if (!bytes.empty())
            shutdown(fd.get(), SHUT_WR);
        std::string answer;
        char buffer[256];
        for (ssize_t n; (n = recv(fd.get(), buffer, sizeof buffer, 0)) > 0;)
            answer.append(buffer, static_cast<size_t>(n));
        WriteFileBytes(file, answer);
        return true;
    });
    const std::string answer = std::filesystem::exists(file) ? ReadFileBytes(file) : "";
    std::remove(file.c_str());
    return answer;
}

std::string Request(const char* operation, const std::string& path, const std::string& more = "")
{
    return std::string("WDPRINTD/1\noperation=") + operation + "\npath=" + path + "\n" + more +
           "\n";
}

} // namespace

TEST_F(PrintServiceTest, UsersOutsideLpadminGetTheirPrintersAndSeeOnlyTheirOwn)
{
    AddQueue("adm-colour", "smb://" + servers->Get("SMB_HOST") + "/colour");
    ASSERT_EQ(Logon(kUserA), 0);
    // The administrator gives every computer plain and colour only now.
    Database(0, {"colour", "plain"});
    ASSERT_EQ(Logon(kUserB), 0) << ServiceLog();
    const std::string laser = Queue("laser"), plain = Queue("plain");
    EXPECT_EQ(Mark(laser), std::string("wdclient for ") + kUserA);
    EXPECT_EQ(Mark(plain), std::string("wdclient for ") + kUserA + ", " + kUserB);
    EXPECT_EQ(Mark("adm-colour"), "") << "an administrator's queue is used as it is";
    EXPECT_EQ(Visible(kUserA), (Strings{laser, plain, "adm-colour"}));
    EXPECT_EQ(Visible(kUserB), (Strings{plain, "adm-colour"}));
    EXPECT_EQ(QueueNames().size(), 3u);

    // B's computer gives B nothing now, clearing first: B is taken off the shared queue only.
    Database(1, {});
    ASSERT_EQ(Logon(kUserB), 0);
    EXPECT_EQ(Mark(plain), std::string("wdclient for ") + kUserA);
    EXPECT_EQ(QueueNames(), (Strings{laser, plain, "adm-colour"}));
    EXPECT_NE(ServiceLog().find(std::string("user=") + kUserB + " remove "), std::string::npos);
}

TEST_F(PrintServiceTest, TwoUsersAtOnceShareOneQueuePerPrinter)
{
    int codes[2] = {-1, -1};
    std::thread a([&] { codes[0] = Logon(kUserA); });
    std::thread b([&] { codes[1] = Logon(kUserB); });
    a.join();
    b.join();
    EXPECT_EQ(codes[0], 0);
    EXPECT_EQ(codes[1], 0);
    ASSERT_EQ(QueueNames().size(), 2u) << ServiceLog();
    for (const std::string& queue : QueueNames()) {
        const std::string mark = Mark(queue);
        EXPECT_NE(mark.find(kUserA), std::string::npos) << mark;
        EXPECT_NE(mark.find(kUserB), std::string::npos) << mark;
    }
}

TEST_F(PrintServiceTest, HostileRequestsAreRefusedLoggedAndTheServiceGoesOn)
{
    AddQueue("adm-colour", "smb://" + servers->Get("SMB_HOST") + "/colour");
    ASSERT_EQ(Logon(kUserA), 0);
    const std::string host = servers->Get("SMB_HOST");
    // A caller who connects and never writes holds only its own connection.
    std::string silent;
    std::thread quiet([&] { silent = Ask(kUserB, Socket(), ""); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const struct {
        const char* what;
        std::string bytes;
        const char* answer;
    } cases[] = {
        {"a printer no rule gives", Request("connect", Unc("colour")), "refused"},
        {"the rule's share on another server", Request("connect", "\\\\elsewhere\\laser"),
         "refused"},
        {"a server named by the caller's own variable", Request("connect", "\\\\evil\\laser"),
         "refused"},
        {"an administrator's queue", Request("remove", Unc("colour")), "error"},
        {"another user's queue", Request("remove", Unc("laser")), "error"},
        {"a forged user name", Request("connect", Unc("plain"), "user=wdtest-a\n"), "error"},
        {"another computer's rule, named by a user",
         Request("connect", Unc("colour"), "computer=OTHERPC\n"), "refused"},
        {"10 MB", std::string(10 << 20, 'x'), "error"},
        {"garbage", "\x01\xff\n\n", "error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string answer = Ask(kUserB, Socket(), c.bytes);
        EXPECT_EQ(answer.substr(0, answer.find(' ')), c.answer) << answer;
    }
    quiet.join();
    EXPECT_NE(silent.find("no request in time"), std::string::npos) << silent;
    EXPECT_EQ(Mark(Queue("laser")), std::string("wdclient for ") + kUserA);
    EXPECT_EQ(Mark("adm-colour"), "");
    const std::string log = ServiceLog();
    EXPECT_NE(log.find(std::string("user=") + kUserB + " connect " + Unc("colour") + ": refused"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("an unreadable request of"), std::string::npos) << log;
    EXPECT_EQ(Ask(kUserB, Socket(), Request("connect", Unc("laser"))).substr(0, 3), "ok ");
}
