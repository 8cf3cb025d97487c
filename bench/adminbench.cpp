// The administration program's opening of a large database into its two grids, and a sort
// of the rules by a column, each step timed inside the process.
//
//   adminbench DIR     (DIR holds wddata.mdb)

#include "admin/wdConfig.h"
#include "platform/dbwidgets/dbgrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace
{

double Step(QElapsedTimer& timer)
{
    double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: adminbench DIR\n");
        return 2;
    }
    TBrevUtil util({"wdConfig"});
    util.SetStartDir(argv[1]);
    QElapsedTimer timer;
    timer.start();
    TConfigForms forms(util);
    double create = Step(timer);
    forms.dbform.SetConnection(false);
    double open = Step(timer);
    forms.adminmainfrm.show();
    QApplication::processEvents();
    double show = Step(timer);
    forms.adminmainfrm.rulesGridTitleClick("UNCPath2");
    QApplication::processEvents();
    double sortAsc = Step(timer);
    forms.adminmainfrm.rulesGridTitleClick("RULENAME");
    QApplication::processEvents();
    double sortDesc = Step(timer);
    std::printf("forms\t%.1f\nopen\t%.1f\nshow\t%.1f\nsort\t%.1f\nsort again\t%.1f\nrules\t%d\n"
                "printers\t%d\n",
                create, open, show, sortAsc, sortDesc, forms.dbform.MapRulesTable.RecordCount(),
                forms.dbform.printerstable.RecordCount());
    return 0;
}
