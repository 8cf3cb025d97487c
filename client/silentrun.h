#pragma once

class DataModule;
class UiModule;
struct ClientSwitches;

// A run with /S, without the window toolkit: the rules are read and the printers connected
// through the store and the printing module alone. The windows' module is loaded only to
// show a message, or to take the run over when the user is to be asked to add a rule
// (nothing has been done by then). Returns the exit code, as the windowed run does.
int RunSilent(DataModule& dbform, const ClientSwitches& switches, int& argc, char** argv,
              UiModule& windows);
