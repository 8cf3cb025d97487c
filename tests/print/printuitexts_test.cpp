#include "platform/print/printuitexts.h"

#include <gtest/gtest.h>

// Suite names begin with "print" so that `ctest -R print` selects them.

TEST(printUiTexts, ScriptLinesAreExact)
{
    EXPECT_EQ(WshNetworkCreateLine(), "Set WshNetwork = CreateObject(\"WScript.Network\")");
    EXPECT_EQ(WshNetworkCreateLine().size(), 48u);
    EXPECT_EQ(AddPrinterConnectionLine("\\\\srv\\laser"),
              "WshNetwork.AddWindowsPrinterConnection \"\\\\srv\\laser\"");
}

TEST(printUiTexts, PrintUiCommandsAreExact)
{
    EXPECT_EQ(RemovePrinterCommand("\\\\srv\\laser"),
              "rundll32 printui.dll,PrintUIEntry /dn /q /n \"\\\\srv\\laser\"");
    EXPECT_EQ(DefaultPrinterCommand("\\\\srv\\laser"),
              "rundll32 printui.dll,PrintUIEntry /y /q /n\\\\srv\\laser");
    EXPECT_EQ(DefaultPrinterCommand(""), "rundll32 printui.dll,PrintUIEntry /y /q /n");
}

TEST(printUiTexts, PathsAreInsertedWithoutEscaping)
{
    const std::string odd = "\\\\srv\\a \"b\" #?\xc3\xbc";
    EXPECT_EQ(AddPrinterConnectionLine(odd),
              "WshNetwork.AddWindowsPrinterConnection \"" + odd + "\"");
    EXPECT_EQ(RemovePrinterCommand(odd),
              "rundll32 printui.dll,PrintUIEntry /dn /q /n \"" + odd + "\"");
    EXPECT_EQ(DefaultPrinterCommand(odd), "rundll32 printui.dll,PrintUIEntry /y /q /n" + odd);
}
