#pragma once

#include <string>

// The texts a Windows back end hands the script host (WScript.Network) and printui.dll.

// Set WshNetwork = CreateObject("WScript.Network")
std::string WshNetworkCreateLine();

// WshNetwork.AddWindowsPrinterConnection "<path>"   (the path is not escaped)
std::string AddPrinterConnectionLine(const std::string& path);

// rundll32 printui.dll,PrintUIEntry /dn /q /n "<name>"
std::string RemovePrinterCommand(const std::string& name);

// rundll32 printui.dll,PrintUIEntry /y /q /n<path>   (no blank, no quotes)
std::string DefaultPrinterCommand(const std::string& path);
