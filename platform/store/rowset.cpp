#include "platform/store/rowset.h"

#include "platform/host/textutil.h"
#include "platform/store/connection.h"
#include "platform/store/rowwriter.h"
#include "platform/store/storeerror.h"

#include <algorithm>

// ---- Field -------------------------------------------------------------------------------

const std::string& Field::FieldName() const
{
    return rowSet_.columns_[static_cast<size_t>(index_)].name;
}

FieldType Field::DataType() const
{
    return rowSet_.columns_[static_cast<size_t>(index_)].type;
}

const Value& Field::AsValue() const
{
    static const Value empty;
    rowSet_.EnsureRows();
    if (rowSet_.current_ < 0)
        return empty;
    return rowSet_.rows_[static_cast<size_t>(rowSet_.current_)].values[static_cast<size_t>(index_)];
}

std::string Field::AsString() const
{
    return ValueText(AsValue(), DataType());
}

bool Field::AsBoolean() const
{
    const std::optional<bool> b = ValueAsBoolean(AsValue());
    if (!b)
        rowSet_.Fail(NotAValue(AsValue(), FieldName(), rowSet_.ListCaption(), "a yes/no value"));
    return *b;
}

long long Field::AsInteger() const
{
    const std::optional<long long> n = ValueAsInteger(AsValue());
    if (!n)
        rowSet_.Fail(NotAValue(AsValue(), FieldName(), rowSet_.ListCaption(), "a whole number"));
    return *n;
}

void Field::SetValue(Value value)
{
    rowSet_.StoreValue(index_, std::move(value));
}

void Field::SetAsString(const std::string& text)
{
    if (const std::optional<Value> v = StoredText(text, DataType()))
        return SetValue(*v);
    const char* kind = DataType() == FieldType::Boolean ? "a yes/no value" : "a whole number";
    rowSet_.Fail("\"" + text + "\" is not " + kind + " for the field " + FieldName() + " of " +
                 rowSet_.ListCaption() + ".");
}

void Field::SetAsBoolean(bool value)
{
    SetValue(StoredBoolean(value, DataType()));
}

void Field::SetAsInteger(long long value)
{
    SetValue(StoredInteger(value, DataType()));
}

// ---- RowSet: opening and reading ---------------------------------------------------------

RowSet::RowSet(Connection& connection, std::string name)
    : connection_(&connection), name_(std::move(name)), listCaption_(name_)
{
    connection_->Attach(this);
}

RowSet::~RowSet()
{
    if (connection_)
        connection_->Detach(this);
}

void RowSet::SetTableName(const std::string& table)
{
    Close();
    table_ = table;
}

void RowSet::SetCaption(std::string row, std::string list)
{
    rowCaption_ = std::move(row);
    listCaption_ = std::move(list);
}

void RowSet::SetParameter(const std::string& name, Value value)
{
    params_[name] = std::move(value);
}

void RowSet::Fail(const std::string& what, StoreFault fault) const
{
    throw StoreError(what, fault);
}

std::string RowSet::ListSubject() const
{
    std::string subject = listCaption_;
    if (!subject.empty() && subject[0] >= 'a' && subject[0] <= 'z')
        subject[0] = static_cast<char>(subject[0] - 'a' + 'A');
    return subject;
}

void RowSet::RequireActive() const
{
    if (state_ == DataSetState::Inactive)
        Fail(ListSubject() + " is not open.");
}

void RowSet::RequireWritable() const
{
    RequireActive();
    if (table_.empty())
        Fail(ListSubject() + " is the result of a query; its rows cannot be changed.");
}

void RowSet::RequireRowToDelete() const
{
    if (current_ < 0)
        Fail("There is no " + rowCaption_ + " to delete.");
}

void RowSet::ReadRows(const std::function<void(const DriverStatement&)>& row) const
{
    if (!connection_ || !connection_->Connected())
        Fail(ListSubject() + " cannot be read: the database connection is not open.");
    std::unique_ptr<DriverStatement> st = Prepare();
    while (st->Step())
        row(*st);
}

void RowSet::Open()
{
    if (Active())
        return;
    if (!connection_ || !connection_->Connected())
        Fail(ListSubject() + " cannot be read: the database connection is not open.");
    LoadColumns(*Prepare());
    if (!table_.empty())
        LoadDefaults();
    rowsRead_ = false;
    state_ = DataSetState::Browse;
    listeners_.Notify(RowSetEvent::StateChanged);
    listeners_.Notify(RowSetEvent::DataChanged);
}

void RowSet::Close()
{
    if (!Active())
        return;
    rows_.clear();
    rows_.shrink_to_fit();
    columns_.clear();
    current_ = -1;
    eof_ = bof_ = true;
    modified_ = false;
    rowsRead_ = false;
    state_ = DataSetState::Inactive;
    listeners_.Notify(RowSetEvent::StateChanged);
    listeners_.Notify(RowSetEvent::DataChanged);
}

std::unique_ptr<DriverStatement> RowSet::Prepare() const
{
    StoreDriver& db = connection_->Driver();
    if (!table_.empty())
        return db.PrepareTable(table_);
    std::string sql;
    for (const std::string& line : sql_)
        sql += line + "\n";
    std::vector<std::string> names;
    std::unique_ptr<DriverStatement> st = db.Prepare(PositionalParameters(sql, names));
    for (size_t i = 0; i < names.size(); ++i) {
        auto p = params_.find(names[i]);
        st->Bind(static_cast<int>(i + 1), p == params_.end() ? Value() : p->second);
    }
    return st;
}

void RowSet::EnsureRows() const
{
    if (rowsRead_ || state_ == DataSetState::Inactive)
        return;
    // The snapshot is taken when the rows are first asked for: a set that is opened and
    // never read (the client's rules table, say) costs nothing. Only the snapshot changes.
    Load();
    rowsRead_ = true;
    // Fresh rows are in read order already.
    if (!sort_.empty())
        ApplySort();
    current_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
}

void RowSet::Load() const
{
    std::unique_ptr<DriverStatement> st = Prepare();
    std::vector<StoredRow> rows;
    while (st->Step()) {
        StoredRow row;
        row.key = st->RowKey();
        row.serial = nextSerial_++;
        row.values.reserve(columns_.size());
        for (int i = 0; i < st->ColumnCount(); ++i)
            row.values.push_back(st->ColumnValue(i));
        rows.push_back(std::move(row));
    }
    rows_ = std::move(rows);
}

void RowSet::LoadColumns(const DriverStatement& st)
{
    columns_.clear();
    for (int i = 0; i < st.ColumnCount(); ++i)
        columns_.push_back({st.ColumnName(i), st.ColumnType(i), {}});
}

void RowSet::LoadDefaults()
{
    for (const auto& [name, value] : connection_->Driver().Defaults(table_)) {
        int i = FindField(name);
        if (i >= 0 && !value.IsNull())
            columns_[static_cast<size_t>(i)].defaultValue = value;
    }
}

// ---- Navigation --------------------------------------------------------------------------

int RowSet::RecordCount() const
{
    EnsureRows();
    return static_cast<int>(rows_.size());
}

bool RowSet::IsEmpty() const
{
    return RecordCount() == 0;
}

bool RowSet::Eof() const
{
    EnsureRows();
    return eof_;
}

bool RowSet::Bof() const
{
    EnsureRows();
    return bof_;
}

int RowSet::CurrentIndex() const
{
    EnsureRows();
    return current_;
}

void RowSet::SetCurrent(int index)
{
    current_ = index;
}

void RowSet::First()
{
    RequireActive();
    EnsureRows();
    CheckBrowseMode();
    SetCurrent(rows_.empty() ? -1 : 0);
    bof_ = true;
    eof_ = rows_.empty();
    listeners_.Notify(RowSetEvent::Scrolled);
}

void RowSet::Next()
{
    RequireActive();
    EnsureRows();
    CheckBrowseMode();
    if (current_ + 1 < RecordCount()) {
        SetCurrent(current_ + 1);
        bof_ = false;
        listeners_.Notify(RowSetEvent::Scrolled);
    } else {
        eof_ = true;
    }
}

void RowSet::Prior()
{
    RequireActive();
    EnsureRows();
    CheckBrowseMode();
    if (current_ > 0) {
        SetCurrent(current_ - 1);
        eof_ = false;
        listeners_.Notify(RowSetEvent::Scrolled);
    } else {
        bof_ = true;
    }
}

void RowSet::Last()
{
    RequireActive();
    EnsureRows();
    CheckBrowseMode();
    SetCurrent(RecordCount() - 1);
    eof_ = true;
    bof_ = rows_.empty();
    listeners_.Notify(RowSetEvent::Scrolled);
}

void RowSet::MoveTo(int index)
{
    RequireActive();
    EnsureRows();
    if (index < 0 || index >= RecordCount() || index == current_)
        return;
    // Settling may drop an unchanged new row before the target: follow the row, not the index.
    long long target = rows_[static_cast<size_t>(index)].serial;
    CheckBrowseMode();
    index = -1;
    for (size_t i = 0; i < rows_.size() && index < 0; ++i)
        if (rows_[i].serial == target)
            index = static_cast<int>(i);
    if (index < 0)
        return;
    SetCurrent(index);
    bof_ = eof_ = false;
    listeners_.Notify(RowSetEvent::Scrolled);
}

int RowSet::FindField(const std::string& name) const
{
    for (size_t i = 0; i < columns_.size(); ++i)
        if (EqualsIgnoreCase(columns_[i].name, name))
            return static_cast<int>(i);
    return -1;
}

Field RowSet::FieldByName(const std::string& name)
{
    RequireActive();
    int i = FindField(name);
    if (i < 0)
        Fail(ListSubject() + " has no field named " + name + ".");
    return Field(*this, i);
}

const Value& RowSet::ValueAt(int row, int column) const
{
    EnsureRows();
    return rows_.at(static_cast<size_t>(row)).values.at(static_cast<size_t>(column));
}

bool RowSet::Locate(const std::string& field, const std::string& value)
{
    RequireActive();
    EnsureRows();
    CheckBrowseMode();
    int column = FindField(field);
    if (column < 0)
        Fail(ListSubject() + " has no field named " + field + ".");
    FieldType type = columns_[static_cast<size_t>(column)].type;
    for (size_t r = 0; r < rows_.size(); ++r) {
        const Value& v = rows_[r].values[static_cast<size_t>(column)];
        if (!v.IsNull() && EqualsIgnoreCase(ValueText(v, type), value)) {
            SetCurrent(static_cast<int>(r));
            bof_ = eof_ = false;
            listeners_.Notify(RowSetEvent::Scrolled);
            return true;
        }
    }
    return false;
}

// ---- Sorting -----------------------------------------------------------------------------

std::vector<SortKey> RowSet::SortKeys(const std::string& sort) const
{
    return ParseSort(sort, ListSubject(),
                     [this](const std::string& name) { return FindField(name); });
}

void RowSet::SetSort(const std::string& sort)
{
    RequireActive();
    SortKeys(sort);
    CheckBrowseMode();
    sort_ = sort;
    if (rowsRead_)
        ApplySort();
    listeners_.Notify(RowSetEvent::DataChanged);
}

void RowSet::ApplySort() const
{
    long long keep = current_ >= 0 ? rows_[static_cast<size_t>(current_)].serial : -1;
    SortRows(rows_, SortKeys(sort_));
    for (size_t i = 0; i < rows_.size() && keep >= 0; ++i)
        if (rows_[i].serial == keep)
            current_ = static_cast<int>(i);
}

// ---- Changing rows -----------------------------------------------------------------------

void RowSet::NewRow(int at)
{
    StoredRow row;
    row.serial = nextSerial_++;
    for (const Column& c : columns_)
        row.values.push_back(c.defaultValue);
    rows_.insert(rows_.begin() + at, std::move(row));
    SetCurrent(at);
    bof_ = eof_ = false;
    changed_.assign(columns_.size(), false);
    modified_ = false;
    SetState(DataSetState::Insert);
    listeners_.Notify(RowSetEvent::DataChanged);
}

void RowSet::Append()
{
    RequireWritable();
    EnsureRows();
    CheckBrowseMode();
    NewRow(RecordCount());
}

void RowSet::Insert()
{
    RequireWritable();
    EnsureRows();
    CheckBrowseMode();
    NewRow(current_ < 0 ? 0 : current_);
}

void RowSet::Edit()
{
    RequireWritable();
    EnsureRows();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return;
    if (rows_.empty())
        return Append();
    original_ = rows_[static_cast<size_t>(current_)].values;
    changed_.assign(columns_.size(), false);
    modified_ = false;
    SetState(DataSetState::Edit);
}

void RowSet::StoreValue(int column, Value value)
{
    RequireActive();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        Fail("A value of " + listCaption_ + " was set while the " + rowCaption_ +
             " was not being edited.");
    rows_[static_cast<size_t>(current_)].values[static_cast<size_t>(column)] = std::move(value);
    changed_[static_cast<size_t>(column)] = true;
    modified_ = true;
    listeners_.Notify(RowSetEvent::FieldChanged);
}

void RowSet::Post()
{
    RequireActive();
    if (state_ == DataSetState::Insert)
        PostInsert();
    else if (state_ == DataSetState::Edit)
        PostEdit();
    else
        return;
    modified_ = false;
    SetState(DataSetState::Browse);
}

RowWriter RowSet::Writer() const
{
    if (!connection_ || !connection_->Connected())
        Fail("The change to " + listCaption_ + " was not stored: the database is not open.");
    return RowWriter(connection_->Driver(), table_, rowCaption_, listCaption_);
}

void RowSet::PostInsert()
{
    StoredRow& row = rows_[static_cast<size_t>(current_)];
    std::vector<std::string> names;
    for (const Column& c : columns_)
        names.push_back(c.name);
    row.key = Writer().Insert(names, row.values);
}

void RowSet::PostEdit()
{
    StoredRow& row = rows_[static_cast<size_t>(current_)];
    std::vector<std::string> names;
    std::vector<Value> values;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!changed_[i])
            continue;
        names.push_back(columns_[i].name);
        values.push_back(row.values[i]);
    }
    if (names.empty())
        return;
    if (Writer().Update(row.key, names, values) == 0)
        Fail("Another program deleted this " + rowCaption_ + " from " + listCaption_ +
             " meanwhile, so the change was not stored. Cancel, and enter it again.");
}

void RowSet::Cancel()
{
    RequireActive();
    if (state_ == DataSetState::Insert) {
        rows_.erase(rows_.begin() + current_);
        if (current_ >= RecordCount())
            SetCurrent(RecordCount() - 1);
        eof_ = bof_ = rows_.empty();
    } else if (state_ == DataSetState::Edit) {
        rows_[static_cast<size_t>(current_)].values = original_;
    } else {
        return;
    }
    modified_ = false;
    SetState(DataSetState::Browse);
    listeners_.Notify(RowSetEvent::DataChanged);
}

void RowSet::Delete()
{
    RequireWritable();
    EnsureRows();
    if (state_ == DataSetState::Insert)
        return Cancel();
    if (state_ == DataSetState::Edit)
        Cancel();
    RequireRowToDelete();
    Writer().Delete(rows_[static_cast<size_t>(current_)].key);
    rows_.erase(rows_.begin() + current_);
    if (current_ >= RecordCount())
        SetCurrent(RecordCount() - 1);
    eof_ = bof_ = rows_.empty();
    listeners_.Notify(RowSetEvent::DataChanged);
}

void RowSet::CheckBrowseMode()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    if (modified_)
        Post();
    else
        Cancel();
}

void RowSet::Refresh()
{
    RequireActive();
    if (!rowsRead_)
        return EnsureRows();
    CheckBrowseMode();
    long long keep = current_ >= 0 ? rows_[static_cast<size_t>(current_)].key : 0;
    int keepIndex = current_;
    Load();
    current_ = -1;
    for (size_t i = 0; i < rows_.size() && keep != 0; ++i)
        if (rows_[i].key == keep)
            current_ = static_cast<int>(i);
    ApplySort();
    if (current_ < 0 && !rows_.empty())
        current_ = std::min(std::max(keepIndex, 0), RecordCount() - 1);
    eof_ = bof_ = rows_.empty();
    listeners_.Notify(RowSetEvent::DataChanged);
}

void RowSet::SetState(DataSetState s)
{
    if (state_ == s)
        return;
    state_ = s;
    listeners_.Notify(RowSetEvent::StateChanged);
}
