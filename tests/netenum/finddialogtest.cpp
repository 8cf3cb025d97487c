#include "tests/netenum/finddialogtest.h"

#include "tests/support/testservers.h"

#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

void FindDialogTest::Open(std::unique_ptr<NetworkEnumerator> net, const std::string& sql)
{
    MakeDatabase(dir.Path(), sql);
    TBrevUtil util({"wdConfig"});
    util.SetStartDir(dir.Path());
    forms = std::make_unique<TConfigForms>(util, std::move(net));
    forms->dbform.SetConnection(false);
    forms->adminmainfrm.show();
}

void FindDialogTest::InDialog(const std::function<void(Tfindprinterfrm&)>& actions)
{
    bool ran = false;
    gui.OnShow([&](QDialog&) {
        actions(forms->findprinterfrm);
        ran = true;
        if (forms->findprinterfrm.isVisible())
            QTest::mouseClick(forms->findprinterfrm.Button3, Qt::LeftButton);
    });
    QTest::mouseClick(forms->adminmainfrm.Button7, Qt::LeftButton);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(forms->findprinterfrm.isVisible());
}

std::vector<std::string> FindDialogTest::Scan(Tfindprinterfrm& dialog)
{
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    EXPECT_FALSE(dialog.progress->isVisible()) << "the bar goes when the scan ends";
    return ListLines(*dialog.FoundPrinters);
}

void FindDialogTest::Tick(Tfindprinterfrm& dialog, const std::string& path)
{
    const QString prefix = QString::fromStdString(path + "[");
    for (int i = 0; i < dialog.FoundPrinters->count(); ++i) {
        QListWidgetItem* item = dialog.FoundPrinters->item(i);
        if (item->text().startsWith(prefix)) {
            item->setCheckState(Qt::Checked);
            return;
        }
    }
    ADD_FAILURE() << path << " is not listed";
}

std::string FindDialogTest::Stored(const std::string& sql)
{
    return QueryValue(dir.File("wddata.mdb"), sql);
}

std::vector<std::string> ListLines(const QListWidget& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.count(); ++i)
        lines.push_back(list.item(i)->text().toStdString());
    return lines;
}

std::map<std::string, std::string> ByPath(const std::vector<std::string>& lines)
{
    std::map<std::string, std::string> found;
    for (const std::string& line : lines) {
        const size_t open = line.find('[');
        EXPECT_TRUE(open != std::string::npos && line.back() == ']') << line;
        if (open == std::string::npos)
            continue;
        const std::string path = line.substr(0, open);
        EXPECT_EQ(found.count(path), 0u) << path << " is listed twice";
        found[path] = line.substr(open + 1, line.size() - open - 2);
    }
    return found;
}

std::map<std::string, std::optional<std::string>> ExpectedPrinters(const TestServers& servers,
                                                                   const std::string& server)
{
    const std::string prefix = "\\\\" + server + "\\";
    std::map<std::string, std::optional<std::string>> expected = {
        {prefix + servers.Get("SMB_SHARE_LASER"), servers.Get("SMB_COMMENT_LASER")},
        {prefix + servers.Get("SMB_SHARE_PLAIN"), ""},
        {prefix + servers.Get("SMB_SHARE_BRACKETS"), servers.Get("SMB_COMMENT_BRACKETS")},
        {prefix + servers.Get("SMB_SHARE_ODD"), std::nullopt},
    };
    const int bulk = std::stoi(servers.Get("SMB_BULK_COUNT"));
    for (int i = 1; i <= bulk; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%04d", i);
        expected[prefix + servers.Get("SMB_BULK_PREFIX") + number] =
            "Bulk printer " + std::to_string(i);
    }
    return expected;
}

void ExpectPrinters(const std::map<std::string, std::string>& found,
                    const std::map<std::string, std::optional<std::string>>& expected)
{
    EXPECT_EQ(found.size(), expected.size());
    for (const auto& [path, comment] : expected) {
        const auto line = found.find(path);
        if (line == found.end()) {
            ADD_FAILURE() << path << " is not listed";
        } else if (comment) {
            EXPECT_EQ(line->second, *comment) << path;
        }
    }
    for (const auto& [path, comment] : found)
        EXPECT_EQ(expected.count(path), 1u) << path << " is listed but not a printer share";
}
