#pragma once

#include "platform/print/uncpath.h"

#include <chrono>

// Makes sure that the server answers and offers the share as a printer, in about `limit`:
// the server must accept a connection within 5/6 of it, and libsmbclient then waits at most
// the rest (at least a second) for each answer. Throws PrintError saying what failed.
void CheckPrinterShare(const UncPath& path, std::chrono::milliseconds limit);
