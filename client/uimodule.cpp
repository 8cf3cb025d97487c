#include "client/uimodule.h"

#include "client/clientui.h"
#include "platform/host/programmodule.h"

#include <iostream>

ClientUi* UiModule::Get()
{
    if (tried_)
        return ui_;
    tried_ = true;
    try {
        using Entry = ClientUi* (*)();
        auto entry = reinterpret_cast<Entry>(
            LoadProgramModule("libwdclientui.so", "wd_client_ui", "window module"));
        ui_ = entry();
    } catch (const std::exception& e) {
        std::cerr << "wdclient: " << e.what() << std::endl;
    }
    return ui_;
}
