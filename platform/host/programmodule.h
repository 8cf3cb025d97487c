#pragma once

#include <string>

// Loads a module of this program (a shared object beside the program, or in its installed
// private library folder) and returns its entry point `symbol`. Left loaded: its libraries
// may keep threads or handlers until the process ends. Throws std::runtime_error saying
// where it looked and why each place failed; `what` names the module to a person.
void* LoadProgramModule(const std::string& file, const char* symbol, const std::string& what);
