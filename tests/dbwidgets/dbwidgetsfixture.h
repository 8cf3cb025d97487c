#pragma once

#include "platform/store/connection.h"
#include "platform/store/rowset.h"
#include "platform/ui/interaction.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// A real database file opened as the programs open it, and every message box answered
// and recorded.
class DbWidgetsTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the database with sql run on it and opens it.
    void OpenDatabase(const std::string& sql);
    // The first value of a query, read through a second connection as another program
    // would; "<no row>" when there is none.
    std::string Stored(const std::string& sql);
    // The texts of the messages shown so far, joined.
    std::string MessageTexts() const;

    TempDir dir;
    std::string path;
    Connection connection;
    std::vector<Interaction::Message> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
};
