#include "admin/wdConfig.h"

#include <QApplication>
#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h") ||
            !std::strcmp(argv[i], "/?")) {
            std::cout << kConfigUsage;
            return 0;
        }
    }
    QApplication app(argc, argv);
    return RunWdConfig(TBrevUtil::FromMain(argc, argv));
}
