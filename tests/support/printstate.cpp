#include "tests/support/printstate.h"

#include "tests/support/testservers.h"

#include <QProcess>
#include <cups/cups.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

ToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments)
{
    QStringList args;
    for (const std::string& a : arguments)
        args << QString::fromStdString(a);
    QProcess process;
    process.start(QString::fromStdString(program), args);
    if (!process.waitForFinished(30000))
        return {-1, "", program + " did not finish"};
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string UserOptionsFile(const TestServers& servers)
{
    return servers.Get("HOME") + "/.cups/lpoptions";
}

void ResetPrintServer(const TestServers& servers)
{
    for (const std::string& queue : QueueNames())
        ASSERT_EQ(RunTool("lpadmin", {"-x", queue}).exitCode, 0) << queue;
    std::filesystem::remove(UserOptionsFile(servers));
    std::filesystem::remove(servers.Get("CUPS_SERVERROOT") + "/lpoptions");
}

std::vector<std::string> QueueNames()
{
    return Lines(RunTool("lpstat", {"-e"}).out);
}

std::map<std::string, std::string> QueueOptions(const std::string& queue)
{
    std::map<std::string, std::string> options;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    if (cups_dest_t* dest = cupsGetDest(queue.c_str(), nullptr, count, dests)) {
        for (int i = 0; i < dest->num_options; ++i)
            options[dest->options[i].name] = dest->options[i].value;
    }
    cupsFreeDests(count, dests);
    return options;
}

std::string UserDefault()
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    const cups_dest_t* dest = cupsGetDest(nullptr, nullptr, count, dests);
    const std::string name = dest ? dest->name : "";
    cupsFreeDests(count, dests);
    return name;
}

void AddLocalQueue(const std::string& name)
{
    AddQueue(name, "ipp://127.0.0.1:9/ipp/print");
}

void AddQueue(const std::string& name, const std::string& uri, const std::string& location)
{
    const ToolResult result =
        RunTool("lpadmin", {"-p", name, "-E", "-v", uri, "-m", "raw", "-L", location});
    ASSERT_EQ(result.exitCode, 0) << result.err;
}

std::string SavedDeviceUri(const TestServers& servers, const std::string& queue)
{
    std::ifstream conf(servers.Get("TESTSERVERS_DIR") + "/cups/printers.conf");
    bool inQueue = false;
    for (std::string line; std::getline(conf, line);) {
        if (line.rfind("<Printer ", 0) == 0 || line.rfind("<DefaultPrinter ", 0) == 0)
            inQueue = line.substr(line.find(' ') + 1) == queue + ">";
        else if (inQueue && line.rfind("DeviceURI ", 0) == 0)
            return line.substr(10);
    }
    return "";
}
