#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class Tdbform;

// "Last runs": the latest client run of each computer, failures first, with what failed
// and why; the selected run's actions below. A window of its own, not modal.
class TLastRunsFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TLastRunsFrm(Tdbform& dbform, QWidget* parent = nullptr);

    // Reads the runs again from the database.
    void Refresh();

    QLabel* Summary;
    QTableWidget* Runs;
    QPlainTextEdit* Actions;
    QPushButton* RefreshButton;

private:
    void ShowActions();

    Tdbform& dbform_;
};
