#pragma once
// The top of the program: the one place that knows every window. main() and
// the tests start the program through here.

#include "commandline.h"

namespace app {

// Starts reading the machine's font configuration on another core, before
// the application object exists; startUp() goes on from there. Optional.
void readFontsMeanwhile();
// Registers every window of the program by name.
void registerWindows();
// Prepares the platform, finds the data folder (see datafolder.h) and loads the
// topic menu, which opens the database. `line`: the command line, read.
void startUp(const CommandLine &line = {});

} // namespace app
