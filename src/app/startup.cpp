#include "startup.h"

#include "animation/fanimaz.h"
#include "archives/archivewindow.h"
#include "archives/fandamento.h"
#include "assessment/fqimage.h"
#include "assessment/fquest.h"
#include "assessment/frisomma.h"
#include "assessment/fsommati.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "lessons/lessonlayouts.h"
#include "lessons/lessonwindow.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "shell/fscelte.h"

#include "datafolder.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <fontconfig/fontconfig.h>
#include <thread>

namespace app {

namespace forms = platform::forms;

namespace {

// The desktop's own texts (file box, standard buttons) in Italian, whatever
// the machine's language.
void installItalian()
{
    static QTranslator qt;
    if (qt.isEmpty() && qt.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

std::jthread &fontReader()
{
    static std::jthread reader;
    return reader;
}

} // namespace

void readFontsMeanwhile()
{
    fontReader() = std::jthread([] { FcInit(); });
}

void registerWindows()
{
    forms::registerForm(windows::Fscelte, [] { return new shell::Fscelte; });
    for (const lessons::LessonLayout &layout : lessons::lessonLayouts())
        forms::registerForm(layout.window(), [&layout] { return new lessons::LessonWindow(layout); });
    forms::registerForm(windows::Fanimaz, [] { return new animation::Fanimaz; });
    forms::registerForm(windows::FQuest, [] { return new assessment::FQuest; });
    forms::registerForm(windows::FQimage, [] { return new assessment::FQimage; });
    forms::registerForm(windows::FSommati, [] { return new assessment::FSommati; });
    forms::registerForm(windows::FRIsomma, [] { return new assessment::FRIsomma; });
    forms::registerForm(windows::frmRISUL, [] { return new archives::ArchiveWindow(archives::questionnaireArchive()); });
    forms::registerForm(windows::FLIsomm, [] { return new archives::ArchiveWindow(archives::summativeArchive()); });
    forms::registerForm(windows::FAndamento, [] { return new archives::FAndamento; });
}

void startUp(const CommandLine &line)
{
    // The catalogue of the machine's fonts is read on another core while the
    // menu is built; its first caption would otherwise wait for it.
    const std::jthread fonts([] {
        if (fontReader().joinable())
            fontReader().join();
        QFontDatabase::families();
    });
    platform::installFontSubstitutes();
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Valdoria"));
    installItalian();
    registerWindows();
    const DataPlaces places = chooseDataPlaces(line);
    platform::setScale(places.scale);
    platform::scaleDefaultFont();
    prepareDataPlaces(places);
    // A window's own close button asks, like the exit buttons.
    forms::setCloseRequestHandler([](platform::Form *) { Modvaldoria::confermauscita(); });
    forms::load(windows::Fscelte)->show();
}

} // namespace app
