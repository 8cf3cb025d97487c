#include "tests/dbwidgets/dbwidgetsfixture.h"

#include "platform/store/schema.h"

void DbWidgetsTest::SetUp()
{
    Interaction::SetMessageHandler([this](const Interaction::Message& m) {
        messages.push_back(m);
        return answer;
    });
}

void DbWidgetsTest::TearDown()
{
    Interaction::SetMessageHandler({});
}

void DbWidgetsTest::OpenDatabase(const std::string& sql)
{
    path = MakeDatabase(dir.Path(), sql);
    connection.SetConnectionString("Data Source=" + path +
                                   ";Jet OLEDB:Database Password=" + kDatabasePassword);
    connection.Open();
}

std::string DbWidgetsTest::Stored(const std::string& sql)
{
    Connection other;
    other.SetConnectionString(connection.ConnectionString());
    other.Open();
    RowSet query(other, "check");
    query.SQL() = {sql};
    query.Open();
    if (query.IsEmpty())
        return "<no row>";
    return ValueText(query.ValueAt(0, 0), query.ColumnAt(0).type);
}

std::string DbWidgetsTest::MessageTexts() const
{
    std::string out;
    for (const Interaction::Message& m : messages)
        out += m.text.toStdString() + "\n";
    return out;
}
