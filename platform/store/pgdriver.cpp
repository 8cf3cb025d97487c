#include "platform/store/pgdriver.h"

#include "platform/host/textutil.h"
#include "platform/store/libpq.h"
#include "platform/store/tables.h"

#include <charconv>
#include <cstring>

namespace
{

// Type numbers of pg_type that the store reads as yes/no and as whole numbers.
constexpr Oid kBoolOid = 16;
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt2Oid = 21;
constexpr Oid kInt4Oid = 23;

std::string LowerCaseAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

long long ToInteger(const char* text)
{
    long long n = 0;
    std::from_chars(text, text + std::strlen(text), n);
    return n;
}

// The server folds unquoted names to lower case, so the tables use lower-case names and
// queries may name them in any case unquoted. A reserved word is always quoted, so it keeps
// its stated case ("Default"), as a quoted name in SQL written for the file has it.
std::string ServerName(const std::string& name)
{
    return EqualsIgnoreCase(name, "Default") ? std::string("Default") : LowerCaseAscii(name);
}

// '?' outside quotes becomes $1, $2, ...
std::string NumberedParameters(const std::string& sql)
{
    std::string out;
    char quote = 0;
    int n = 0;
    for (char c : sql) {
        if (quote)
            quote = c == quote ? 0 : quote;
        else if (c == '\'' || c == '"')
            quote = c;
        else if (c == '?') {
            out += "$" + std::to_string(++n);
            continue;
        }
        out += c;
    }
    return out;
}

// The server folds names to lower case; messages and grids show the names as the tables
// are stated.
std::string StatedName(const std::string& name)
{
    for (const TableDef& t : RequiredTables())
        for (const FieldDef& f : t.fields)
            if (EqualsIgnoreCase(f.name, name))
                return f.name;
    return name;
}

// libpq knows the scheme in lower case only.
std::string LowerScheme(const std::string& uri)
{
    const size_t colon = uri.find("://");
    return colon == std::string::npos ? uri
                                      : LowerCaseAscii(uri.substr(0, colon)) + uri.substr(colon);
}

// What libpq reads from the URI, for messages: never the password.
std::string DescribeUri(const std::string& uri)
{
    char* error = nullptr;
    PQconninfoOption* options = Pq().PQconninfoParse(uri.c_str(), &error);
    if (!options) {
        const std::string why = error ? Trimmed(error, " \n") : "out of memory";
        Pq().PQfreemem(error);
        throw StoreError("The PostgreSQL URI of the database cannot be read: " + why + ".");
    }
    std::string database, host;
    bool password = false;
    for (PQconninfoOption* o = options; o && o->keyword; ++o) {
        if (!o->val)
            continue;
        if (std::string(o->keyword) == "dbname")
            database = o->val;
        else if (std::string(o->keyword) == "host")
            host = o->val;
        else if (std::string(o->keyword) == "password" && *o->val)
            password = true;
    }
    Pq().PQconninfoFree(options);
    if (password)
        throw StoreError("The PostgreSQL URI of the database holds a password. Remove it: give "
                         "it in ~/.pgpass, a service file or the environment (PGPASSWORD).");
    return "the database \"" + (database.empty() ? "(the user's own)" : database) +
           "\" on the server \"" + (host.empty() ? "localhost" : host) + "\"";
}

std::string Capitalised(std::string s)
{
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z')
        s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

StoreFault FaultOf(const std::string& state)
{
    if (state == "23505")
        return StoreFault::Duplicate;
    if (state == "42501" || state == "25006")
        return StoreFault::ReadOnly;
    if (state == "40P01" || state == "55P03" || state == "40001")
        return StoreFault::Locked;
    return StoreFault::Other;
}

// "Key (uncname)=(\\srv\b) already exists." names the field.
std::string KeyField(const char* detail)
{
    const std::string d = detail ? detail : "";
    const size_t open = d.find("Key (");
    const size_t close = d.find(")=", open);
    return open == std::string::npos || close == std::string::npos
               ? ""
               : d.substr(open + 5, close - open - 5);
}

Value ParseDefault(const std::string& text)
{
    if (text == "true")
        return Value::Integer(1);
    if (text == "false")
        return Value::Integer(0);
    long long n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec == std::errc() && end == text.data() + text.size() && !text.empty())
        return Value::Integer(n);
    return Value();
}

} // namespace

void PgResultFree::operator()(PGresult* r) const
{
    Pq().PQclear(r);
}

void PgDriver::ConnFree::operator()(PGconn* c) const
{
    Pq().PQfinish(c);
}

// ---- PgStatement -------------------------------------------------------------------------

void PgStatement::Bind(int index, const Value& value)
{
    if (params_.size() < static_cast<size_t>(index))
        params_.resize(static_cast<size_t>(index));
    std::optional<std::string>& p = params_[static_cast<size_t>(index - 1)];
    if (value.IsNull())
        p.reset();
    else if (value.IsInteger())
        p = std::to_string(value.IntegerValue()); // a yes/no field reads 0 and 1 as well
    else
        p = value.TextValue();
}

bool PgStatement::Step()
{
    if (!rows_) {
        rows_ = driver_.Run(sql_, params_);
        visible_.clear();
    }
    return ++row_ < Pq().PQntuples(rows_.get());
}

const PGresult* PgStatement::Described() const
{
    if (!rows_ && !description_)
        description_ = driver_.DescribeColumns(sql_);
    const PGresult* r = rows_ ? rows_.get() : description_.get();
    if (visible_.empty()) {
        key_ = -1;
        for (int i = 0; i < Pq().PQnfields(r); ++i) {
            if (std::string(Pq().PQfname(r, i)) == "wd_rowid")
                key_ = i;
            else
                visible_.push_back(i);
        }
    }
    return r;
}

int PgStatement::Raw(int index) const
{
    Described();
    return visible_.at(static_cast<size_t>(index));
}

int PgStatement::ColumnCount() const
{
    Described();
    return static_cast<int>(visible_.size());
}

std::string PgStatement::ColumnName(int index) const
{
    return StatedName(Pq().PQfname(Described(), Raw(index)));
}

FieldType PgStatement::ColumnType(int index) const
{
    switch (Pq().PQftype(Described(), Raw(index))) {
    case kBoolOid:
        return FieldType::Boolean;
    case kInt2Oid:
    case kInt4Oid:
    case kInt8Oid:
        return FieldType::Integer;
    default:
        return FieldType::Text;
    }
}

Value PgStatement::ColumnValue(int index) const
{
    const int i = Raw(index);
    const PGresult* r = rows_.get();
    if (Pq().PQgetisnull(r, row_, i))
        return Value();
    const char* text = Pq().PQgetvalue(r, row_, i);
    switch (ColumnType(index)) {
    case FieldType::Boolean:
        return Value::Integer(text[0] == 't' ? 1 : 0);
    case FieldType::Integer:
        return Value::Integer(ToInteger(text));
    default:
        return Value::Text(std::string(text, static_cast<size_t>(Pq().PQgetlength(r, row_, i))));
    }
}

long long PgStatement::RowKey() const
{
    Described();
    return key_ < 0 || !rows_ ? 0 : ToInteger(Pq().PQgetvalue(rows_.get(), row_, key_));
}

long long PgStatement::Changes() const
{
    return rows_ ? ToInteger(Pq().PQcmdTuples(rows_.get())) : 0;
}

// ---- PgDriver ----------------------------------------------------------------------------

PgDriver::PgDriver(const std::string& location, Access access)
    : description_(DescribeUri(LowerScheme(location))), readOnly_(access == Access::ReadOnly)
{
    const std::string uri = LowerScheme(location);
    // Before dbname, so that a connect_timeout in the URI wins.
    const std::string timeout = std::to_string(kConnectTimeoutSeconds);
    const char* keywords[] = {"connect_timeout", "dbname", nullptr};
    const char* values[] = {timeout.c_str(), uri.c_str(), nullptr};
    conn_.reset(Pq().PQconnectdbParams(keywords, values, 1));
    if (!conn_)
        throw StoreError("Cannot open " + description_ + ": out of memory.");
    if (Pq().PQstatus(conn_.get()) == CONNECTION_OK) {
        Exec(readOnly_ ? "SET client_min_messages = warning; "
                         "SET default_transaction_read_only = on"
                       : "SET client_min_messages = warning");
        return;
    }
    const std::string why = Trimmed(Pq().PQerrorMessage(conn_.get()), " \n");
    if (Pq().PQconnectionNeedsPassword(conn_.get()) ||
        why.find("authentication failed") != std::string::npos)
        throw StoreError("The server refused the login to " + description_ + ": " + why +
                         "\nGive the password in ~/.pgpass, a service file or the environment "
                         "(PGPASSWORD), never in wddata.conf or on a command line.");
    throw StoreError("Cannot reach " + description_ + " (waited at most " + timeout +
                     " seconds a server): " + why);
}

std::unique_ptr<PgDriver> PgDriver::OpenEmpty(const std::string& uri)
{
    auto driver = std::make_unique<PgDriver>(uri, Access::ReadWrite);
    std::vector<std::string> tables = {"wd_meta"};
    for (const TableDef& t : RequiredTables())
        tables.push_back(t.name);
    for (const std::string& t : tables)
        if (driver->HasTable(t))
            throw StoreError(Capitalised(driver->Describe()) + " already has the table " + t +
                             "; it was left as it is.");
    driver->Exec("CREATE EXTENSION IF NOT EXISTS citext");
    return driver;
}

PgResult PgDriver::Checked(PGresult* result)
{
    PgResult r(result);
    const ExecStatusType status = r ? Pq().PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return r;
    const char* state = r ? Pq().PQresultErrorField(r.get(), PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = r ? Pq().PQresultErrorField(r.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const std::string why = primary ? primary : Trimmed(Pq().PQerrorMessage(conn_.get()), " \n");
    const StoreFault fault = FaultOf(state ? state : "");
    const std::string field =
        fault == StoreFault::Duplicate
            ? StatedName(KeyField(Pq().PQresultErrorField(r.get(), PG_DIAG_MESSAGE_DETAIL)))
            : "";
    throw DriverError(Capitalised(description_) + " reported: " + why, fault, why, field);
}

PgResult PgDriver::Run(const std::string& sql,
                       const std::vector<std::optional<std::string>>& params)
{
    std::vector<const char*> values;
    for (const auto& p : params)
        values.push_back(p ? p->c_str() : nullptr);
    return Checked(Pq().PQexecParams(conn_.get(), sql.c_str(), static_cast<int>(values.size()),
                                     nullptr, values.data(), nullptr, nullptr, 0));
}

PgResult PgDriver::DescribeColumns(const std::string& sql)
{
    Checked(Pq().PQprepare(conn_.get(), "", sql.c_str(), 0, nullptr));
    return Checked(Pq().PQdescribePrepared(conn_.get(), ""));
}

std::unique_ptr<DriverStatement> PgDriver::PrepareTable(const std::string& table)
{
    return std::make_unique<PgStatement>(*this, "SELECT * FROM " + Identifier(table));
}

std::unique_ptr<DriverStatement> PgDriver::Prepare(const std::string& sql)
{
    return std::make_unique<PgStatement>(*this, NumberedParameters(sql));
}

void PgDriver::Exec(const std::string& sql)
{
    Checked(Pq().PQexec(conn_.get(), sql.c_str()));
}

long long PgDriver::Insert(const std::string& sql, const std::vector<Value>& values)
{
    PgStatement st(*this, NumberedParameters(sql + " RETURNING " + KeyColumn()));
    for (size_t i = 0; i < values.size(); ++i)
        st.Bind(static_cast<int>(i + 1), values[i]);
    st.Step();
    return st.RowKey();
}

std::string PgDriver::Identifier(const std::string& name) const
{
    return QuoteIdentifier(ServerName(name));
}

std::string PgDriver::ColumnSql(const FieldDef& f) const
{
    std::string sql = QuoteIdentifier(ServerName(f.name));
    switch (f.type) {
    case FieldType::Text:
        sql += " CITEXT";
        break;
    case FieldType::Boolean:
        sql += " BOOLEAN";
        if (!f.defaultValue.IsNull())
            sql += f.defaultValue.IntegerValue() ? " DEFAULT TRUE" : " DEFAULT FALSE";
        break;
    case FieldType::Integer:
        sql += " INTEGER";
        if (!f.defaultValue.IsNull())
            sql += " DEFAULT " + std::to_string(f.defaultValue.IntegerValue());
        break;
    }
    return sql + (f.unique ? " UNIQUE" : "");
}

std::string PgDriver::CreateTableSql(const TableDef& table) const
{
    std::string sql = "CREATE TABLE " + Identifier(table.name) + " (" + KeyColumn() +
                      " BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY";
    for (const FieldDef& f : table.fields)
        sql += ", " + ColumnSql(f);
    return sql + ")";
}

// The catalog rather than information_schema, whose views take milliseconds to plan: a
// logon asks a dozen times.
bool PgDriver::HasTable(const std::string& name)
{
    return Pq().PQntuples(
               Run("SELECT 1 FROM pg_catalog.pg_class WHERE oid = "
                   "to_regclass(quote_ident(lower($1::text))) AND relkind IN ('r', 'p', 'v')",
                   {name})
                   .get()) > 0;
}

std::vector<std::pair<std::string, Value>> PgDriver::Defaults(const std::string& table)
{
    PgResult r =
        Run("SELECT a.attname, pg_get_expr(d.adbin, d.adrelid) FROM pg_catalog.pg_attribute a "
            "LEFT JOIN pg_catalog.pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
            "WHERE a.attrelid = to_regclass(quote_ident(lower($1::text))) AND a.attnum > 0 "
            "AND NOT a.attisdropped AND a.attname <> $2 ORDER BY a.attnum",
            {table, KeyColumn()});
    std::vector<std::pair<std::string, Value>> out;
    for (int i = 0; i < Pq().PQntuples(r.get()); ++i)
        out.emplace_back(StatedName(Pq().PQgetvalue(r.get(), i, 0)),
                         ParseDefault(Pq().PQgetvalue(r.get(), i, 1)));
    return out;
}

std::string PgDriver::WriteAccessAdvice() const
{
    return "Ask the server's administrator for the right to change the tables.";
}
