// The entry of the printing module (libwdprint.so) that ModulePrintSystem loads.

#include "platform/print/cupsprintsystem.h"

extern "C" PrintSystem* wd_create_print_system()
{
    return new CupsPrintSystem();
}
