#include "platform/store/rowwriter.h"

#include "platform/host/textutil.h"

RowWriter::RowWriter(StoreDriver& driver, const std::string& table, const std::string& rowCaption,
                     const std::string& listCaption)
    : driver_(driver), table_(driver.Identifier(table)), rowCaption_(rowCaption),
      listCaption_(listCaption)
{
}

long long RowWriter::Insert(const std::vector<std::string>& names, const std::vector<Value>& values)
{
    RequireWritable();
    std::string columns, marks;
    for (size_t i = 0; i < names.size(); ++i) {
        columns += (i ? ", " : "") + driver_.Identifier(names[i]);
        marks += i ? ", ?" : "?";
    }
    try {
        return driver_.Insert("INSERT INTO " + table_ + " (" + columns + ") VALUES (" + marks + ")",
                              values);
    } catch (const DriverError& e) {
        Refused(e, names, values);
    }
}

long long RowWriter::Update(long long key, const std::vector<std::string>& names,
                            const std::vector<Value>& values)
{
    RequireWritable();
    std::string sets;
    for (size_t i = 0; i < names.size(); ++i)
        sets += (i ? ", " : "") + driver_.Identifier(names[i]) + " = ?";
    try {
        auto st = driver_.Prepare("UPDATE " + table_ + " SET " + sets + " WHERE " +
                                  driver_.KeyColumn() + " = ?");
        for (size_t i = 0; i < values.size(); ++i)
            st->Bind(static_cast<int>(i + 1), values[i]);
        st->Bind(static_cast<int>(values.size() + 1), Value::Integer(key));
        st->Step();
        return st->Changes();
    } catch (const DriverError& e) {
        Refused(e, names, values);
    }
}

void RowWriter::Delete(long long key)
{
    RequireWritable();
    try {
        auto st =
            driver_.Prepare("DELETE FROM " + table_ + " WHERE " + driver_.KeyColumn() + " = ?");
        st->Bind(1, Value::Integer(key));
        st->Step();
    } catch (const DriverError& e) {
        Refused(e, {}, {});
    }
}

void RowWriter::RequireWritable() const
{
    if (!driver_.StillWritable())
        Refused(DriverError("", StoreFault::ReadOnly, ""), {}, {});
}

void RowWriter::Refused(const DriverError& e, const std::vector<std::string>& names,
                        const std::vector<Value>& values) const
{
    const std::string notStored = "The change to " + listCaption_ + " was not stored: ";
    switch (e.Fault()) {
    case StoreFault::Duplicate: {
        std::string value;
        for (size_t i = 0; i < names.size(); ++i)
            if (EqualsIgnoreCase(names[i], e.FieldName()) && values[i].IsText())
                value = values[i].TextValue();
        throw StoreError("\"" + value + "\" is already in " + listCaption_ +
                             " (letter case does not count), so the " + rowCaption_ +
                             " was not stored.",
                         StoreFault::Duplicate);
    }
    case StoreFault::ReadOnly:
        throw StoreError(notStored + driver_.Describe() + " is read-only for this program. " +
                             driver_.WriteAccessAdvice(),
                         StoreFault::ReadOnly);
    case StoreFault::Locked:
        throw StoreError(notStored + "another program kept " + driver_.Describe() +
                             " locked. Try again.",
                         StoreFault::Locked);
    default:
        throw StoreError(notStored + driver_.Describe() + " reported: " + e.Detail());
    }
}
