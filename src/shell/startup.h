#pragma once

namespace shell {

// Registers every window of the program by name.
void registerWindows();
// Prepares the platform and loads the topic menu, which opens the database.
void startUp();

} // namespace shell
