#pragma once

#include <QComboBox>
#include <functional>
#include <utility>
#include <vector>

class QStandardItemModel;
class QTableView;
class TDBEdit;
class TDataSource;

// An editable list bound to a text field: the field holds what is typed or picked. Its
// entries, a key and a description each, are offered as the user types: those that hold the
// typed text anywhere in the key or the description, ignoring case. Picking an entry, from
// the offered ones or from the whole list, writes its key.
class TDBSearchComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TDBSearchComboBox(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source);
    void SetDataField(const QString& name);
    // Replaces the entries (key, description); the text and the field stay as they are.
    void SetEntries(const std::vector<std::pair<QString, QString>>& entries);

    void showPopup() override;

private:
    void SizeView(QTableView* view) const;
    void KeepText(const std::function<void()>& change);

    TDBEdit* edit_;
    QStandardItemModel* entries_;
};
