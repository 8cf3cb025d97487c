#pragma once

#include <string>
#include <vector>

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TempDir
{
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::string& Path() const { return path_; }
    // Path() + "/" + name
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Runs SQL on a database file directly, as an administrator's sqlite3 script would.
void ExecSql(const std::string& dbPath, const std::string& sql);
// The first column of the first row of a query, as text; "<no row>" when there is none.
std::string QueryValue(const std::string& dbPath, const std::string& sql);
// A copy of the built client in dir, with its printing module beside it, as deployed.
std::string CopyClient(const TempDir& dir);
// Runs a program (never through a shell) to its end, its standard error appended to errFile
// when one is named: the exit code, or -1 when it did not start or end normally. Usable in a
// forked child of a threaded process, where QProcess is not.
int RunProgram(std::vector<std::string> args, const std::string& errFile = "");
// Seed SQL: a quoted text; a printer (left out when listed already); an active rule with up
// to four slots; the options row.
std::string SqlText(const std::string& text);
std::string PrinterRow(const std::string& path, bool available = true);
std::string RuleRow(const std::string& name, const std::vector<std::string>& slots,
                    int defaultSlot = 5);
std::string ConfigRow(bool clearFirst, bool allowAdd);
// A new database of ours at dir/wddata.mdb, with SQL run on it afterwards.
std::string MakeDatabase(const std::string& dir, const std::string& sql = "");
