// Jobs through the queues the client makes, on the private cupsd and smbd: what reaches the
// print server with a driver and without one, a driver this computer lacks, and a queue that
// already has the right driver and logon.

#include "tests/client/clientpass.h"
#include "tests/gui/guidriver.h"
#include "tests/support/printstate.h"
#include "tests/support/tempdir.h"
#include "tests/support/testservers.h"

#include <chrono>
#include <cups/cups.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace
{

const char* const kPostScript = "drv:///sample.drv/generic.ppd";

// A one-page PDF, as an application would send it.
std::string Pdf()
{
    const std::string page = "BT /F1 12 Tf 20 50 Td (Wendrell) Tj ET";
    const std::string objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + std::to_string(page.size()) + " >>\nstream\n" + page + "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
    std::string pdf = "%PDF-1.4\n", xref = "xref\n0 6\n0000000000 65535 f \n";
    for (int i = 0; i < 5; ++i) {
        char offset[32];
        std::snprintf(offset, sizeof offset, "%010zu 00000 n \n", pdf.size());
        xref += offset;
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t at = pdf.size();
    return pdf + xref + "trailer\n<< /Size 6 /Root 1 0 R >>\nstartxref\n" + std::to_string(at) +
           "\n%%EOF\n";
}

class PrintJobTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        servers = std::make_unique<TestServers>(TestServers::Load());
        servers->Export();
    }
    void SetUp() override
    {
        ResetPrintServer(*servers);
        for (const auto& f : std::filesystem::directory_iterator(Printed()))
            std::filesystem::remove(f.path());
    }
    static std::string Printed() { return servers->Get("SMB_PRINTED_DIR"); }
    static std::string Unc(const char* key) { return servers->Unc(servers->Get(key)); }
    // The computer PC1 gets laser and colour with `driver` and plain (or another share)
    // without one.
    int Logon(const std::string& driver, const char* logon = "none",
              const char* plainKey = "SMB_SHARE_PLAIN")
    {
        const std::string laser = Unc("SMB_SHARE_LASER"), plain = Unc(plainKey),
                          colour = Unc("SMB_SHARE_BRACKETS");
        std::filesystem::remove(dir.File("wddata.mdb"));
        MakeDatabase(dir.Path(), "INSERT INTO Config VALUES (0, 0, " + SqlText(logon) + ");" +
                                     PrinterRow(laser) + PrinterRow(plain) + PrinterRow(colour) +
                                     RuleRow("PC1", {laser, plain, colour}) +
                                     "UPDATE printers SET Driver = " + SqlText(driver) +
                                     " WHERE UNCNAME IN (" + SqlText(laser) + ", " +
                                     SqlText(colour) + ");");
        return RunClientPass(dir.Path(), {"/S", "/q", "/CLIENTNAME=PC1"}).exitCode;
    }
    static std::string QueueFor(const char* shareKey)
    {
        for (const std::string& q : QueueNames())
            if (QueueOptions(q)["device-uri"].ends_with("/" + servers->Get(shareKey)))
                return q;
        return "<none>";
    }
    // What reached the print server for a job sent to the queue: its first line.
    std::string PrintedFirstLine(const std::string& queue)
    {
        const std::string pdf = dir.File("page.pdf");
        WriteFileBytes(pdf, Pdf());
        EXPECT_EQ(RunTool("lp", {"-d", queue, pdf}).exitCode, 0);
        return Arrived();
    }
    // The first line of what the print server got next, waiting a while for it.
    std::string Arrived(int tenths = 150)
    {
        for (int i = 0; i < tenths; ++i) {
            for (const auto& f : std::filesystem::directory_iterator(Printed())) {
                const std::string bytes = ReadFileBytes(f.path());
                std::filesystem::remove(f.path());
                return bytes.substr(0, bytes.find('\n'));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return "<nothing arrived>";
    }
    static size_t QueueChanges()
    {
        const std::string log =
            ReadFileBytes(servers->Get("TESTSERVERS_DIR") + "/cups/log/access_log");
        size_t count = 0;
        for (size_t at = 0; (at = log.find("CUPS-Add-Modify-Printer", at)) != std::string::npos;
             ++at)
            ++count;
        return count;
    }

    static inline std::unique_ptr<TestServers> servers;
    TempDir dir;
    GuiDriver gui;
};

// The job's state and why, as its owner's lpstat -l shows them.
std::string JobState(const std::string& job)
{
    const std::string all = RunTool("lpstat", {"-l", "-o"}).out;
    const size_t at = all.find(job + " ");
    return at == std::string::npos ? "<gone>" : all.substr(at, all.find("\n\n", at) - at);
}

// Gives a held job its owner's name and password, as a desktop's print dialog does.
void Authenticate(int job, const std::string& user, const std::string& password)
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_AUTHENTICATE_JOB);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    const char* info[] = {user.c_str(), password.c_str()};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_TEXT, "auth-info", 2, nullptr, info);
    ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/jobs/"));
    EXPECT_LT(cupsLastError(), IPP_STATUS_REDIRECTION_OTHER_SITE) << cupsLastErrorString();
}

} // namespace

TEST_F(PrintJobTest, ASharePrintsWithTheRightPasswordOnlyAndKeepsTheJobUntilThen)
{
    // The share admits its one user and no guest: the queue asks for a logon from the start.
    ASSERT_EQ(Logon("", "password", "SMB_SHARE_PRIVATE"), 0);
    const std::string queue = QueueFor("SMB_SHARE_PRIVATE");
    ASSERT_EQ(QueueOptions(queue)["auth-info-required"], "username,password");
    WriteFileBytes(dir.File("page.txt"), "a page for the private printer\n");
    const std::string id = Lines(RunTool("lp", {"-d", queue, dir.File("page.txt")}).out)[0];
    // "request id is QUEUE-7 (1 file(s))"
    const std::string job = id.substr(14, id.find(' ', 14) - 14);
    const int number = std::stoi(job.substr(job.rfind('-') + 1));
    // Sent as a guest first by the backend, the job then waits for its owner's logon.
    const auto held = [&] {
        for (int i = 0; i < 150 && JobState(job).find("held") == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return JobState(job).find("held") != std::string::npos;
    };
    ASSERT_TRUE(held()) << JobState(job);

    Authenticate(number, servers->Get("SMB_PRIVATE_USER"), "not-the-password");
    EXPECT_EQ(Arrived(30), "<nothing arrived>");
    ASSERT_TRUE(held()) << "kept: " << JobState(job);

    Authenticate(number, servers->Get("SMB_PRIVATE_USER"), servers->Get("SMB_PRIVATE_PASSWORD"));
    EXPECT_EQ(Arrived(), "a page for the private printer");
}

TEST_F(PrintJobTest, ADriverMakesPostScriptOfAPdfAndARawQueueSendsItAsItIs)
{
    ASSERT_EQ(Logon(kPostScript), 0);
    // The second queue with the driver gets the same driver, not an empty one.
    for (const char* share : {"SMB_SHARE_LASER", "SMB_SHARE_BRACKETS"})
        EXPECT_EQ(QueueOptions(QueueFor(share))["printer-make-and-model"],
                  "Generic PostScript Printer");
    EXPECT_EQ(PrintedFirstLine(QueueFor("SMB_SHARE_BRACKETS")).substr(0, 4), "%!PS");
    EXPECT_EQ(PrintedFirstLine(QueueFor("SMB_SHARE_PLAIN")), "%PDF-1.4");

    // Nothing changed: the queues are used as they are.
    const size_t changes = QueueChanges();
    ASSERT_EQ(Logon(kPostScript), 0);
    EXPECT_EQ(QueueChanges(), changes) << "a queue that is as it should be costs no request";
    // Clearing first makes them again, each with its driver.
    ExecSql(dir.File("wddata.mdb"), "UPDATE Config SET ClearPrintersFirst = 1");
    ASSERT_EQ(RunClientPass(dir.Path(), {"/S", "/q", "/CLIENTNAME=PC1"}).exitCode, 0);
    EXPECT_GT(QueueChanges(), changes);
    for (const char* share : {"SMB_SHARE_LASER", "SMB_SHARE_BRACKETS"})
        EXPECT_EQ(QueueOptions(QueueFor(share))["printer-make-and-model"],
                  "Generic PostScript Printer");

    // The site's logon changes, and then the driver: the client's queues follow.
    ASSERT_EQ(Logon(kPostScript, "password"), 0);
    EXPECT_EQ(QueueOptions(QueueFor("SMB_SHARE_PLAIN"))["auth-info-required"], "username,password");
    ASSERT_EQ(Logon(""), 0);
    EXPECT_EQ(QueueOptions(QueueFor("SMB_SHARE_LASER"))["printer-make-and-model"],
              "Local Raw Printer");
    EXPECT_EQ(QueueOptions(QueueFor("SMB_SHARE_LASER"))["auth-info-required"], "");
}

TEST_F(PrintJobTest, ADriverThisComputerLacksIsNamedAndItsPrinterNotConnected)
{
    ASSERT_EQ(Logon("drv:///no-such.drv/printer.ppd"), 0);
    EXPECT_EQ(QueueFor("SMB_SHARE_LASER"), "<none>");
    EXPECT_NE(QueueFor("SMB_SHARE_PLAIN"), "<none>");
    EXPECT_NE(QueryValue(dir.File("wddata.mdb"), "SELECT problems FROM wd_runlog")
                  .find("The driver \"drv:///no-such.drv/printer.ppd\" is missing here"),
              std::string::npos);
}
