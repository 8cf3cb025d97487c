#pragma once

#include "platform/print/printsystem.h"

#include <string>
#include <vector>

class CupsConnection;

// The drivers the scheduler offers (CUPS-Get-PPDs, as lpinfo -m lists them), by name.
std::vector<PrinterDriver> ListDrivers(CupsConnection& cups);

// The error to report when a queue could not be made with a driver: that the driver is not on
// this computer when the scheduler does not offer it, else what the scheduler said.
PrintError DriverFailure(CupsConnection& cups, const std::string& driver, const PrintError& said);
