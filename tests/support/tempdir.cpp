#include "tests/support/tempdir.h"

#include "platform/store/schema.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "wdtest-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const
{
    return path_ + "/" + name;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void ExecSql(const std::string& dbPath, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    std::string message = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message << "\n" << sql;
}

std::string SqlText(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

std::string PrinterRow(const std::string& path, bool available)
{
    return "INSERT OR IGNORE INTO printers (UNCNAME, Description, Available) VALUES (" +
           SqlText(path) + ", '', " + (available ? "1" : "0") + ");";
}

std::string RuleRow(const std::string& name, const std::vector<std::string>& slots, int defaultSlot)
{
    std::string sql = "INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, UNCPath4, "
                      "\"Default\", Active) VALUES (" +
                      SqlText(name);
    for (size_t i = 0; i < 4; ++i)
        sql += ", " + SqlText(i < slots.size() ? slots[i] : "");
    return sql + ", " + std::to_string(defaultSlot) + ", 1);";
}

std::string ConfigRow(bool clearFirst, bool allowAdd)
{
    return std::string("INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (") +
           (clearFirst ? "1" : "0") + ", " + (allowAdd ? "1" : "0") + ");";
}

std::string MakeDatabase(const std::string& dir, const std::string& sql)
{
    std::string path = dir + "/wddata.mdb";
    CreateDatabase(path);
    if (!sql.empty())
        ExecSql(path, sql);
    return path;
}

std::string QueryValue(const std::string& dbPath, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    std::string out = "<no row>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        out = std::string("<error: ") + sqlite3_errmsg(db) + ">";
    else if (sqlite3_step(st) == SQLITE_ROW)
        out = sqlite3_column_text(st, 0) ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0))
                                         : "<null>";
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

int RunProgram(std::vector<std::string> args, const std::string& errFile)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t io;
    posix_spawn_file_actions_init(&io);
    if (!errFile.empty())
        posix_spawn_file_actions_addopen(&io, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
    pid_t pid = 0;
    int status = 0;
    const bool ended = posix_spawn(&pid, argv[0], &io, nullptr, argv.data(), environ) == 0 &&
                       waitpid(pid, &status, 0) == pid && WIFEXITED(status);
    posix_spawn_file_actions_destroy(&io);
    return ended ? WEXITSTATUS(status) : -1;
}

std::string CopyClient(const TempDir& dir)
{
    const std::string client = dir.File("wdclient");
    if (!std::filesystem::exists(client)) {
        std::filesystem::copy_file(WD_BINARY_DIR "/client/wdclient", client);
        for (const char* module : {"libwdprint.so", "libwdclientui.so"})
            std::filesystem::create_symlink(WD_BINARY_DIR "/client/" + std::string(module),
                                            dir.File(module));
    }
    return client;
}
