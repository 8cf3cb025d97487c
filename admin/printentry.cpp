#include "admin/printentry.h"

#include "platform/dbwidgets/dbcheckbox.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/dbwidgets/dbsearchcombobox.h"
#include "shared/dbformmain.h"
#include "shared/product.h"

#include <QLabel>
#include <QPushButton>

namespace
{

constexpr const char* kDriverField = "Driver";

} // namespace

QString MissingFieldNote(const QString& field)
{
    return "This database has no field " + field +
           " yet: wdConfig adds it when it may change the tables.";
}

TprinterEntryfrm::TprinterEntryfrm(Tdbform& dbform, QWidget* parent)
    : ModalDialog(parent), dbform_(dbform)
{
    setObjectName("printerEntryfrm");
    setWindowTitle("Printer Details");
    SetDialogFrame(this, 363, 222);
    TDataSource* printers = &dbform.PrintersTableDataSource;

    pathLabel = new QLabel("Printer UNC Path: (\\\\PRINTSRV\\LASER1, \\\\10.1.2.3\\LASER1)", this);
    pathLabel->setGeometry(8, 8, 347, 13);
    pathEdit = new TDBEdit(this);
    pathEdit->setGeometry(8, 24, 347, 21);
    pathEdit->SetDataSource(printers);
    pathEdit->SetDataField("UNCNAME");
    descriptionLabel = new QLabel("Printer Description: (Room 502, HP 1320)", this);
    descriptionLabel->setGeometry(8, 52, 347, 13);
    descriptionEdit = new TDBEdit(this);
    descriptionEdit->setGeometry(8, 68, 347, 21);
    descriptionEdit->SetDataSource(printers);
    descriptionEdit->SetDataField("Description");
    availableCheckBox = new TDBCheckBox("Printer is available to be mapped", this);
    availableCheckBox->setGeometry(8, 96, 347, 17);
    availableCheckBox->SetDataSource(printers);
    availableCheckBox->SetDataField("Available");
    okButton = new QPushButton("OK", this);
    okButton->setGeometry(98, 118, 80, 25);
    cancelButton = new QPushButton("Cancel", this);
    cancelButton->setGeometry(186, 118, 80, 25);
    driverLabel = new QLabel("Printer Driver: (empty: the server gets each job as sent)", this);
    driverLabel->setGeometry(8, 152, 347, 13);
    driverComboBox = new TDBSearchComboBox(this);
    driverComboBox->setGeometry(8, 168, 347, 21);
    driverComboBox->SetDataSource(printers);
    driverComboBox->SetDataField(kDriverField);
    driverNote = new QLabel(this);
    driverNote->setGeometry(8, 192, 347, 26);
    driverNote->setWordWrap(true);
    driverNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    SetDefaultButton(okButton);
    SetCancelButton(cancelButton);
    connect(okButton, &QPushButton::clicked, this, &TprinterEntryfrm::okButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &TprinterEntryfrm::cancelButtonClick);
    setTabOrder(pathEdit, descriptionEdit);
    setTabOrder(descriptionEdit, availableCheckBox);
    setTabOrder(availableCheckBox, okButton);
    setTabOrder(okButton, cancelButton);
    setTabOrder(cancelButton, driverComboBox);
    connect(&drivers_, &DriverList::ready, this, &TprinterEntryfrm::ShowDrivers);
}

void TprinterEntryfrm::okButtonClick()
{
    RunOrReport([this] {
        dbform_.printerstable.Post();
        done(1);
    });
}

void TprinterEntryfrm::cancelButtonClick()
{
    RunOrReport([this] {
        dbform_.printerstable.Cancel();
        done(-1);
    });
}

// The close box stores a changed row as the re-reading would, but first, so that a row the
// store refuses keeps the dialog open for the user to correct or cancel.
bool TprinterEntryfrm::FormCloseQuery()
{
    dbform_.printerstable.CheckBrowseMode();
    return true;
}

void TprinterEntryfrm::FormClose()
{
    dbform_.printerstable.Refresh();
}

void TprinterEntryfrm::FormShow()
{
    if (dbform_.printerstable.FindField(kDriverField) >= 0)
        drivers_.Start();
    ShowDrivers();
}

void TprinterEntryfrm::ShowDrivers()
{
    const bool hasField = dbform_.printerstable.FindField(kDriverField) >= 0;
    driverComboBox->setEnabled(hasField);
    if (!hasField)
        return SetDriverNote(MissingFieldNote(kDriverField));
    if (drivers_.Progress() == DriverList::State::Reading)
        return SetDriverNote("Reading the drivers that CUPS offers...");
    if (drivers_.Progress() == DriverList::State::Failed)
        return SetDriverNote("No list of drivers: " + drivers_.Error(), drivers_.Error());
    if (drivers_.Drivers().empty())
        return SetDriverNote("CUPS offers no drivers here; a driver's name may still be typed.");
    if (driverComboBox->count() == 0) {
        std::vector<std::pair<QString, QString>> entries;
        for (const PrinterDriver& d : drivers_.Drivers())
            entries.emplace_back(QString::fromStdString(d.name),
                                 QString::fromStdString(d.makeAndModel));
        driverComboBox->SetEntries(entries);
    }
    SetDriverNote(QString("Type to search the %1 drivers that CUPS offers, or open the list.")
                      .arg(driverComboBox->count()));
}

// At most the two lines there is room for: the whole reason, if any, is the tooltip.
void TprinterEntryfrm::SetDriverNote(const QString& text, const QString& why)
{
    const QFontMetrics metrics = driverNote->fontMetrics();
    const int room = 2 * driverNote->width() - 8 * metrics.averageCharWidth();
    driverNote->setText(metrics.elidedText(text, Qt::ElideRight, room));
    driverNote->setToolTip(why);
    driverComboBox->setToolTip(why);
}
