#include "client/windowrun.h"

// libwdclientui.so: the client's windows, for a run that began without them.
extern "C" ClientUi* wd_client_ui()
{
    static TWindowUi ui;
    return &ui;
}
