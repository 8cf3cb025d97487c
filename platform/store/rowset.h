#pragma once

#include "platform/store/connection.h"
#include "platform/store/rowlisteners.h"
#include "platform/store/rowsort.h"
#include "platform/store/storedrow.h"
#include "platform/store/storeerror.h"
#include "platform/store/valueconvert.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class RowSet;
class RowWriter;

enum class DataSetState { Inactive, Browse, Edit, Insert };

struct Column {
    std::string name;
    FieldType type = FieldType::Text;
    Value defaultValue;
};

// One field of the current row, by position; valid while the row set stays open.
class Field
{
public:
    Field(RowSet& rowSet, int index) : rowSet_(rowSet), index_(index) {}

    const std::string& FieldName() const;
    FieldType DataType() const;
    const Value& AsValue() const;
    bool IsNull() const { return AsValue().IsNull(); }
    // An empty field reads as "", false and 0.
    std::string AsString() const;
    bool AsBoolean() const;
    long long AsInteger() const;

    void SetValue(Value value);
    // "" stores an empty field in a yes/no or number field.
    void SetAsString(const std::string& text);
    void SetAsBoolean(bool value);
    void SetAsInteger(long long value);
    void Clear() { SetValue(Value()); }

private:
    RowSet& rowSet_;
    int index_;
};

// A static snapshot of a table or of a query's result, with a current row, like an ADO
// static cursor; the snapshot is taken when the rows are first read after opening. Tables
// can be changed; query results are read-only.
class RowSet : public ConnectionUser
{
public:
    RowSet(Connection& connection, std::string name);
    RowSet(const RowSet&) = delete;
    RowSet& operator=(const RowSet&) = delete;
    ~RowSet();

    const std::string& Name() const { return name_; }
    // How messages name one row and the whole set to a person, e.g. "printer" and "the
    // printer list". Without it: "row" and the set's name.
    void SetCaption(std::string row, std::string list);
    const std::string& RowCaption() const { return rowCaption_; }
    const std::string& ListCaption() const { return listCaption_; }
    void SetTableName(const std::string& table);
    const std::string& TableName() const { return table_; }
    // Query text, one line per entry; joined with line breaks when opened.
    std::vector<std::string>& SQL() { return sql_; }
    // Binds :name in the query text.
    void SetParameter(const std::string& name, Value value);

    void Open();
    // Reads the rows once, in order, and keeps none: for a caller that keeps a few of many,
    // and for whom the snapshot would cost more than the reading. Needs no Open.
    void ReadRows(const std::function<void(const DriverStatement&)>& row) const;
    // Drops a pending change and the rows.
    void Close();
    bool Active() const { return state_ != DataSetState::Inactive; }
    DataSetState State() const { return state_; }
    bool Modified() const { return modified_; }

    int RecordCount() const;
    bool IsEmpty() const;
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const;
    bool Bof() const;
    // 0-based position of the current row, -1 when there is none.
    int CurrentIndex() const;
    void MoveTo(int index);

    int FieldCount() const { return static_cast<int>(columns_.size()); }
    const Column& ColumnAt(int index) const { return columns_.at(static_cast<size_t>(index)); }
    int FindField(const std::string& name) const; // -1 when absent
    Field FieldByName(const std::string& name);   // throws when absent
    // A value of any row, for grids.
    const Value& ValueAt(int row, int column) const;

    // Makes the first row (in the present order) whose field equals value, ignoring case,
    // current. False leaves the current row where it was.
    bool Locate(const std::string& field, const std::string& value);

    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Settles a pending change (posted when changed, dropped otherwise), re-reads the rows
    // and keeps the sort and, where it still exists, the current row.
    void Refresh();
    // "FIELD ASC" or "FIELD DESC", several separated by ','; "" restores the read order.
    void SetSort(const std::string& sort);
    const std::string& Sort() const { return sort_; }
    // Posts a changed pending row, drops an unchanged one.
    void CheckBrowseMode();

    int Subscribe(std::function<void(RowSetEvent)> listener)
    {
        return listeners_.Subscribe(std::move(listener));
    }
    void Unsubscribe(int id) { listeners_.Unsubscribe(id); }

    void ConnectionClosing() override { Close(); }
    void ConnectionGone() override { connection_ = nullptr; }

private:
    friend class Field;

    [[noreturn]] void Fail(const std::string& what, StoreFault fault = StoreFault::Other) const;
    // The list caption at the start of a sentence.
    std::string ListSubject() const;
    void RequireActive() const;
    void RequireWritable() const;
    void RequireRowToDelete() const;
    std::unique_ptr<DriverStatement> Prepare() const;
    // The snapshot is taken on first reading, from const readers too.
    void EnsureRows() const;
    void Load() const;
    void LoadColumns(const DriverStatement& st);
    void LoadDefaults();
    void ApplySort() const;
    std::vector<SortKey> SortKeys(const std::string& sort) const;
    void SetCurrent(int index);
    void SetState(DataSetState s);
    void StoreValue(int column, Value value);
    void PostInsert();
    void PostEdit();
    RowWriter Writer() const;
    void NewRow(int at);

    Connection* connection_;
    std::string name_;
    std::string rowCaption_ = "row";
    std::string listCaption_;
    std::string table_;
    std::vector<std::string> sql_;
    std::map<std::string, Value> params_;
    std::vector<Column> columns_;
    mutable std::vector<StoredRow> rows_;
    std::vector<Value> original_; // the current row before Edit
    std::vector<bool> changed_;
    std::string sort_;
    DataSetState state_ = DataSetState::Inactive;
    mutable int current_ = -1;
    mutable bool eof_ = true;
    mutable bool bof_ = true;
    bool modified_ = false;
    mutable bool rowsRead_ = false;
    mutable long long nextSerial_ = 0;
    RowSetListeners listeners_;
};
