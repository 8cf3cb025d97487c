#include "client/wdclient.h"

#include <QApplication>
#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h") ||
            !std::strcmp(argv[i], "/?")) {
            std::cout << kClientUsage;
            return 0;
        }
    }
    QApplication app(argc, argv);
    return RunWdClient(TBrevUtil::FromMain(argc, argv));
}
