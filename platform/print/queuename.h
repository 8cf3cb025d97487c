#pragma once

#include "platform/smb/smbpath.h"

#include <string>
#include <vector>

// A CUPS queue name for a network printer, made from its server and share names: only
// letters, digits, '-', '_' and '.', short enough for CUPS, and different (ignoring letter
// case, as CUPS compares) from every name in `taken`.
std::string QueueNameFor(const UncPath& path, const std::vector<std::string>& taken);
