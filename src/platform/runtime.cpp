#include "runtime.h"

#include "controls.h"

#include "storage/resultsserver.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
FatalHandler fatalHandler;
EndHandler endHandler;
} // namespace

void setFatalHandler(FatalHandler handler) { fatalHandler = std::move(handler); }
void setEndHandler(EndHandler handler) { endHandler = std::move(handler); }

void fatal(const QString &what)
{
    // While the message is on screen its event loop runs: a timer must not
    // raise a second fault and stack a second box. A fault raised while one is
    // being reported ends the program at once.
    static bool reporting = false;
    if (reporting) {
        std::fprintf(stderr, "valdoria: %s\n", qPrintable(what));
        std::fflush(stderr);
        std::_Exit(FatalExitStatus);
    }
    reporting = true;
    stopAllTimers();
    storage::stopBackgroundWork();
    if (fatalHandler) {
        struct Done
        {
            ~Done() { reporting = false; }
        } done; // the tests' handler unwinds back to the test
        fatalHandler(what);
    }
    std::fprintf(stderr, "valdoria: %s\n", qPrintable(what));
    std::fflush(stderr);
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Valdoria - errore"),
                        QStringLiteral("Il programma non può continuare.\n\n%1\n\n"
                                       "Il programma verrà chiuso; i risultati già registrati "
                                       "restano nell'archivio.")
                            .arg(what),
                        QMessageBox::Ok);
        box.setObjectName(QStringLiteral("ErroreEsecuzione"));
        box.exec();
    }
    std::_Exit(FatalExitStatus);
}

void endProgram(int status)
{
    if (endHandler) {
        endHandler(status);
        return;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

} // namespace platform
