#pragma once
// The program's one run-time error path and its one way to end. Every failure
// that the program does not handle (a missing picture, database file, table or
// column, a failed append) goes through fatal(): the user is told what failed,
// and the program ends with a non-zero status. Tests replace both ends.

#include "storage/result.h"

#include <QString>
#include <functional>

namespace platform {

// Tells the user what failed and ends the program. Never returns.
[[noreturn]] void fatal(const QString &what);

// What storage returned, or the run-time error it reports: for the windows
// whose failures end the program.
template <class T> T must(storage::Result<T> result)
{
    if (!result)
        fatal(result.error());
    return result.take();
}
inline void must(const storage::Status &status)
{
    if (!status)
        fatal(status.error());
}

// Ends the program at once with the given status ("End"): every window goes,
// nothing is saved or closed first. Results are already on disk when appended.
void endProgram(int status = 0);

// Seams for tests. The fatal handler must not return (tests throw).
using FatalHandler = std::function<void(const QString &)>;
using EndHandler = std::function<void(int)>;
void setFatalHandler(FatalHandler handler); // empty: the real message box and exit
void setEndHandler(EndHandler handler);     // empty: the real exit

// Thrown by the handler that tests install, so that a failure unwinds to the test.
struct FatalError
{
    QString message;
};

inline constexpr int FatalExitStatus = 2;

} // namespace platform
