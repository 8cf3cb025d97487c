#include "platform/print/printuitexts.h"

std::string WshNetworkCreateLine()
{
    return "Set WshNetwork = CreateObject(\"WScript.Network\")";
}

std::string AddPrinterConnectionLine(const std::string& path)
{
    return "WshNetwork.AddWindowsPrinterConnection \"" + path + "\"";
}

std::string RemovePrinterCommand(const std::string& name)
{
    return "rundll32 printui.dll,PrintUIEntry /dn /q /n \"" + name + "\"";
}

std::string DefaultPrinterCommand(const std::string& path)
{
    return "rundll32 printui.dll,PrintUIEntry /y /q /n" + path;
}
