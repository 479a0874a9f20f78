#pragma once
// The top of the program: the one place that knows every window. main() and
// the tests start the program through here.

#include <QStringList>

namespace app {

// Registers every window of the program by name.
void registerWindows();
// Prepares the platform, finds the data folder (see datafolder.h) and loads the
// topic menu, which opens the database. `arguments`: the command line.
void startUp(const QStringList &arguments = {});

} // namespace app
