// The client's run: in-process with the message seam answering, and as a real process.

#include "client/wdclient.h"
#include "platform/ui/interaction.h"
#include "tests/client/clientpass.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

namespace
{

const char* const kNoMatchNoAdd =
    "INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (0, 0);";
const char* const kNoMatchMayAdd =
    "INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (0, 1);";

class ClientRunTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        Interaction::SetMessageHandler({});
        Interaction::SetModalHandler({});
    }
    // Runs one pass in this process; returns the statuses shown, in order.
    std::vector<std::string> Run(std::vector<std::string> args, int* exitCode = nullptr)
    {
        ClientPass pass = RunClientPass(dir.Path(), std::move(args));
        if (exitCode)
            *exitCode = pass.exitCode;
        shown = pass.shown;
        return pass.statuses;
    }
    // Answers every message box, remembering them.
    void Answer(QMessageBox::StandardButton button)
    {
        Interaction::SetMessageHandler([this, button](const Interaction::Message& m) {
            messages.push_back(m);
            return button;
        });
    }

    TempDir dir;
    std::vector<Interaction::Message> messages;
    bool shown = false;
};

} // namespace

TEST_F(ClientRunTest, EveryMatchingRuleIsVisitedInNameOrder)
{
    MakeDatabase(dir.Path(), std::string(kNoMatchNoAdd) + R"(
        INSERT INTO MapRules (RULENAME, Active) VALUES ('LAB12', 1), ('lab*', 1), ('OFF*', 1),
                                                       ('*12', 0);)");
    Answer(QMessageBox::No);
    std::vector<std::string> statuses = Run({"/S", "/CLIENTNAME=LAB12"});
    std::vector<std::string> found;
    for (const std::string& s : statuses)
        if (s.rfind("Found Matching Rule: ", 0) == 0 || s == "Mapping Printers in Rule")
            found.push_back(s);
    EXPECT_EQ(found,
              (std::vector<std::string>{"Found Matching Rule: *12", "Found Matching Rule: lab*",
                                        "Mapping Printers in Rule", "Found Matching Rule: LAB12",
                                        "Mapping Printers in Rule"}));
    EXPECT_EQ(statuses.front(), "Connecting to Database");
    EXPECT_EQ(statuses[1], "Checking Rules");
    EXPECT_EQ(statuses.back(), "Setting Default Printer");
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(shown) << "/S keeps the status window hidden";
}

TEST_F(ClientRunTest, NoMatchAsksToAddARuleAndNoEnds)
{
    MakeDatabase(dir.Path(),
                 std::string(kNoMatchMayAdd) + "INSERT INTO MapRules (RULENAME) VALUES ('LAB');");
    Answer(QMessageBox::No);
    int code = -1;
    std::vector<std::string> statuses =
        Run({"/CLIENTNAME=\"LAB\" or 1=1", "/clientname=LAB"}, &code);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text.toStdString(),
              "No Matching Printer Rule is found for this computer. Do you wish to add one?");
    EXPECT_EQ(messages[0].caption.toStdString(), "WDCLIENT");
    EXPECT_EQ(messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(messages[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(statuses.back(), "Checking Rules");
    EXPECT_TRUE(shown);
}

TEST_F(ClientRunTest, NamesThatCannotBeStoredAreNeverOfferedTheAddPath)
{
    MakeDatabase(dir.Path(), kNoMatchMayAdd);
    Answer(QMessageBox::Yes);
    for (const char* name :
         {"/CLIENTNAME", "/CLIENTNAME=LAB\xff\xfe", "/CLIENTNAME=\xed\xa0\x80"}) {
        SCOPED_TRACE(name);
        messages.clear();
        int code = -1;
        Run({name}, &code);
        EXPECT_EQ(code, 0);
        ASSERT_EQ(messages.size(), 1u) << "a message instead of the question";
        EXPECT_NE(messages[0].text.indexOf("none can be added"), -1);
    }
    messages.clear();
    testing::internal::CaptureStderr();
    Run({"/S", "/CLIENTNAME="});
    EXPECT_NE(testing::internal::GetCapturedStderr().find("none can be added"), std::string::npos);
    EXPECT_TRUE(messages.empty()) << "/S says it on standard error";
    EXPECT_EQ(QueryValue(dir.File("wddata.mdb"), "SELECT COUNT(*) FROM MapRules"), "0");
}

TEST_F(ClientRunTest, NothingToDoIsShownForThreeSecondsAndAMatchEndsAtOnce)
{
    MakeDatabase(dir.Path(), std::string(kNoMatchNoAdd) +
                                 "INSERT INTO MapRules (RULENAME, Active) VALUES ('LAB*', 0);");
    const ClientPass none = RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=PC1"});
    EXPECT_EQ(none.statuses.back(), "No Rules Found. Nothing to Do");
    EXPECT_EQ(none.pausedMs, 3000);
    EXPECT_EQ(RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=LAB1"}).pausedMs, 0);
}

TEST_F(ClientRunTest, ASilentRunLeavesTheQuestionToTheWindowsAndLogsTheRunOnce)
{
    MakeDatabase(dir.Path(), kNoMatchMayAdd);
    Answer(QMessageBox::No);
    EXPECT_EQ(RunSilentPass(dir.Path(), {"/S", "/CLIENTNAME=PC9"}), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text.toStdString(),
              "No Matching Printer Rule is found for this computer. Do you wish to add one?");
    EXPECT_EQ(QueryValue(dir.File("wddata.mdb"), "SELECT COUNT(*) FROM wd_runlog"), "1");
}
