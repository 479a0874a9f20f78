#pragma once
// The top of the program: the one place that knows every window. main() and
// the tests start the program through here.

namespace app {

// Registers every window of the program by name.
void registerWindows();
// Prepares the platform and loads the topic menu, which opens the database.
void startUp();

} // namespace app
