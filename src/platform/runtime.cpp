#include "runtime.h"

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
    if (fatalHandler)
        fatalHandler(what);
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
