#pragma once

#include "platform/print/printsystem.h"
#include "platform/print/sharecheck.h"

#include <string>

// What a check says, as one line: "printer", "unchecked: why", "error: message" or
// "unreachable: message".
inline std::string Outcome(ShareCheck& check, const UncPath& path, CheckLogon logon)
{
    try {
        const ShareVerdict verdict = check.Check(path, logon);
        return verdict.checked ? "printer" : "unchecked: " + verdict.why;
    } catch (const PrintServerUnreachable& e) {
        return std::string("unreachable: ") + e.what();
    } catch (const PrintError& e) {
        return std::string("error: ") + e.what();
    }
}
