#pragma once
// The command line, read before any window exists: --help, --version and a
// wrong option answer on the terminal, even where no screen is at hand.

#include <QString>
#include <QStringList>

namespace app {

struct CommandLine
{
    enum class Action { Run, Help, Version, PrepareFolder, Error };
    Action action = Action::Run;
    QString data;            // --data DIR: the data folder for this run
    double scale = 0;        // --scala N; 0: not given (the config's, or fit the screen)
    QString folder, group;   // --prepara-cartella DIR --gruppo GROUP
    QString error;           // Action::Error: what was wrong, for the terminal
};

// `arguments` as main() has them, the program first. Options take their value
// as the next argument or after "=" (--data=DIR). The options Qt itself
// reads (-platform NAME, -style NAME ...) are left to it.
CommandLine readCommandLine(const QStringList &arguments);

// The usage, in Italian, as --help prints it.
QString usage();

// The exit status of a wrong command line: the shell's usual one.
inline constexpr int UsageExitStatus = 2;

// Does what needs no window (help, version, a wrong option, preparing a shared
// folder) and returns the exit status. Needs a QCoreApplication.
int runWithoutWindow(const CommandLine &line);

} // namespace app
