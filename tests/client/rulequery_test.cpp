// Which rows the client's rule query offers to the matching test.

#include "client/runfacts.h"
#include "shared/dbformmain.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

namespace
{

class RuleQueryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MakeDatabase(dir.Path(), R"(
            INSERT INTO MapRules (RULENAME) VALUES ('LAB*'), ('*'), ('PC01'), ('pc0'),
                ('PC0'), ('PC01X'), ('A*B*'), (NULL), (''), ('x''y'), ('50%'), ('P_01');)");
        TBrevUtil util({"wdclient"});
        util.SetStartDir(dir.Path());
        form = std::make_unique<Tdbform>(util);
        form->SetConnection(true);
    }
    std::vector<std::string> Rows(const std::string& clientName)
    {
        RowSet& q = form->RuleQuery;
        BuildRuleQuery(q, clientName);
        q.Open();
        std::vector<std::string> names;
        for (q.First(); !q.Eof(); q.Next())
            names.push_back(q.FieldByName("RULENAME").IsNull()
                                ? "<null>"
                                : q.FieldByName("RULENAME").AsString());
        return names;
    }

    TempDir dir;
    std::unique_ptr<Tdbform> form;
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(RuleQueryTest, PatternsAndTheExactNameInAnyCaseInNameOrderAndNamesAreData)
{
    EXPECT_EQ(Rows("pc01"), (Names{"*", "A*B*", "LAB*", "PC01"}));
    // A rule that merely begins the name is not offered, nor one the name merely begins.
    EXPECT_EQ(Rows("PC0"), (Names{"*", "A*B*", "LAB*", "pc0", "PC0"}));
    EXPECT_EQ(Rows("x'y"), (Names{"*", "A*B*", "LAB*", "x'y"}));
    EXPECT_EQ(Rows("50%"), (Names{"*", "50%", "A*B*", "LAB*"}));
    EXPECT_EQ(Rows("PX01"), (Names{"*", "A*B*", "LAB*"})) << "'_' is no wildcard";
    EXPECT_EQ(Rows("x'; DELETE FROM MapRules; --"), (Names{"*", "A*B*", "LAB*"}));
    EXPECT_EQ(Rows(""), (Names{"", "*", "A*B*", "LAB*"})) << "no NULL names, ever";
    EXPECT_EQ(QueryValue(dir.File("wddata.mdb"), "select count(*) from MapRules"), "12");
}
