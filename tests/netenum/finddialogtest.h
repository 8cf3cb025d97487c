#pragma once

#include "admin/wdConfig.h"
#include "tests/gui/guidriver.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QListWidget;

// The administration program over a new database, its discovery dialog walking a given
// network.
class FindDialogTest : public ::testing::Test
{
protected:
    // net: null for the OS's own back end; sql: run on the new database first.
    void Open(std::unique_ptr<NetworkEnumerator> net, const std::string& sql = "");
    // Opens the dialog from the main window and runs `actions` while it is up.
    void InDialog(const std::function<void(Tfindprinterfrm&)>& actions);
    // Clicks "Scan for Network Printers"; the lines found.
    std::vector<std::string> Scan(Tfindprinterfrm& dialog);
    // Ticks the line of the printer with this path.
    void Tick(Tfindprinterfrm& dialog, const std::string& path);
    std::string Stored(const std::string& sql);

    TempDir dir;
    GuiDriver gui;
    std::unique_ptr<TConfigForms> forms;
};

std::vector<std::string> ListLines(const QListWidget& list);

// Found lines by their path, with the text between the brackets.
std::map<std::string, std::string> ByPath(const std::vector<std::string>& lines);

// The test server's printer shares by path ("\\" + server + "\share"), with their comments
// where the servers' env file tells them.
class TestServers;
std::map<std::string, std::optional<std::string>> ExpectedPrinters(const TestServers& servers,
                                                                   const std::string& server);

// Checks that `found` (by path) holds exactly the expected printers with their comments.
void ExpectPrinters(const std::map<std::string, std::string>& found,
                    const std::map<std::string, std::optional<std::string>>& expected);
