#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class TDBCheckBox;
class TDBComboBox;
class TDBGrid;
class TLastRunsFrm;
class TRuleTestFrm;
class TRuleDetailsFrm;
class Tdbform;
class Tfindprinterfrm;
class TprinterEntryfrm;

// The main window of the administration program: the options, the printers and the rules.
// It keeps no data: its controls are bound to the data module.
class Tadminmainfrm : public QWidget
{
    Q_OBJECT
public:
    explicit Tadminmainfrm(QWidget* parent = nullptr);

    // Binds the controls to the data module's sources, as soon as it exists.
    void SetDataModule(Tdbform* dbform);
    void SetDialogs(TprinterEntryfrm* printerEntry, TRuleDetailsFrm* ruleDetails,
                    Tfindprinterfrm* findPrinter);

    QGroupBox* optionsGroup;
    TDBCheckBox* allowClientRulesCheckBox;
    QLabel* allowClientRulesLabel;
    TDBCheckBox* clearFirstCheckBox;
    QLabel* clearFirstLabel;
    // How print jobs log on to the print servers.
    QLabel* printLogonLabel;
    TDBComboBox* printLogonComboBox;
    QLabel* printLogonNote; // why it cannot be chosen
    QLabel* printLogonExplanation;
    QGroupBox* printersGroup;
    TDBGrid* printersGrid;
    QPushButton* addPrinterButton;
    QPushButton* editPrinterButton;
    QPushButton* deletePrinterButton;
    QPushButton* findPrintersButton;
    QGroupBox* rulesGroup;
    TDBGrid* rulesGrid;
    QPushButton* addRuleButton;
    QPushButton* editRuleButton;
    QPushButton* deleteRuleButton;
    // Beyond the rule buttons: what a computer would get, and what the clients did.
    QPushButton* testRulesButton;
    QPushButton* lastRunsButton;

    // Shared by both grids: true after a title click sorted ascending, so that the next one
    // sorts descending.
    bool SortAscending = false;

    void addPrinterButtonClick();
    void editPrinterButtonClick();
    void deletePrinterButtonClick();
    void findPrintersButtonClick();
    void addRuleButtonClick();
    void editRuleButtonClick();
    void deleteRuleButtonClick();
    void testRulesButtonClick();
    void lastRunsButtonClick();
    // Made when first opened.
    TRuleTestFrm* RuleTestFrm = nullptr;
    TLastRunsFrm* LastRunsFrm = nullptr;
    void printersGridTitleClick(const QString& fieldName);
    void rulesGridTitleClick(const QString& fieldName);
    void FormClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* MakeGroup(const QString& title, int top, int height);
    void BuildOptions();
    void BuildPrintLogon();
    void ShowPrintLogon();
    void BuildPrinters();
    void BuildRules();
    void SortByTitle(const QString& fieldName, bool printers);
    QPushButton* MakeButton(QWidget* parent, const QString& text, int left, int top, int width,
                            void (Tadminmainfrm::*handler)());

    Tdbform* dbform_ = nullptr;
    TprinterEntryfrm* printerEntryfrm_ = nullptr;
    TRuleDetailsFrm* RuleDetailsFrm_ = nullptr;
    Tfindprinterfrm* findprinterfrm_ = nullptr;
};
