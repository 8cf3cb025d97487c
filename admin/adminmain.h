#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class TDBCheckBox;
class TDBGrid;
class TLastRunsFrm;
class TRuleTestFrm;
class TRuleDetailsFrm;
class Tdbform;
class Tfindprinterfrm;
class TprinterEntryfrm;

// The main window of the administration program: the two options, the printers and the
// rules. It keeps no data: its controls are bound to the data module.
class Tadminmainfrm : public QWidget
{
    Q_OBJECT
public:
    explicit Tadminmainfrm(QWidget* parent = nullptr);

    // Binds the controls to the data module's sources, as soon as it exists.
    void SetDataModule(Tdbform* dbform);
    void SetDialogs(TprinterEntryfrm* printerEntry, TRuleDetailsFrm* ruleDetails,
                    Tfindprinterfrm* findPrinter);

    QGroupBox* GroupBox1;
    TDBCheckBox* DBCheckBox1;
    QLabel* Label1;
    TDBCheckBox* DBCheckBox2;
    QLabel* Label2;
    QGroupBox* GroupBox2;
    TDBGrid* DBGrid1;
    QPushButton* Button1;
    QPushButton* Button3;
    QPushButton* Button2;
    QPushButton* Button7;
    QGroupBox* GroupBox3;
    TDBGrid* DBGrid2;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button6;
    // Beyond the rule buttons: what a computer would get, and what the clients did.
    QPushButton* TestButton;
    QPushButton* LastRunsButton;

    // Shared by both grids: true after a title click sorted ascending, so that the next one
    // sorts descending.
    bool SortAscending = false;

    void Button1Click();
    void Button3Click();
    void Button2Click();
    void Button7Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void TestButtonClick();
    void LastRunsButtonClick();
    // Made when first opened.
    TRuleTestFrm* RuleTestFrm = nullptr;
    TLastRunsFrm* LastRunsFrm = nullptr;
    void DBGrid1TitleClick(const QString& fieldName);
    void DBGrid2TitleClick(const QString& fieldName);
    void FormClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* MakeGroup(const QString& title, int top, int height);
    void BuildOptions();
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
