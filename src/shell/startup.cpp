#include "startup.h"

#include "fscelte.h"
#include "modvaldoria.h"

#include "../animation/fanimaz.h"
#include "../lessons/lessonwindow.h"
#include "../platform/controls.h"

#include <QApplication>

namespace shell {

void registerWindows()
{
    platform::forms::registerForm(Fscelte::Name, [] { return new Fscelte; });
    lessons::registerWindows();
    animation::registerWindows();
}

void startUp()
{
    platform::installFontSubstitutes();
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Valdoria"));
    registerWindows();
    // A window's own close button asks, like the exit buttons.
    platform::forms::setCloseRequestHandler([](platform::Form *) { Modvaldoria::confermauscita(); });
    platform::forms::load(Fscelte::Name)->show();
}

} // namespace shell
