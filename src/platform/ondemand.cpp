#include "ondemand.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace platform::ondemand {

namespace {

QStringList chosenPlaces;
const Functions *loaded = nullptr;
QString fault, file;
bool tried = false;

// Where the module is: beside the installed program's libraries, beside the
// program itself, or where this build made it.
QStringList places()
{
    if (!chosenPlaces.isEmpty())
        return chosenPlaces;
    const QString bin = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(bin + QStringLiteral("/" VALDORIA_ONDEMAND_FROM_BIN)), bin,
            QStringLiteral(VALDORIA_ONDEMAND_BUILD_DIR)};
}

} // namespace

const Functions *functions(QString *why)
{
    if (!tried) {
        tried = true;
        QStringList faults;
        for (const QString &dir : places()) {
            file = dir + QStringLiteral("/libvaldoria_ondemand.so");
            if (!QFile::exists(file))
                continue;
            QLibrary module(file);
            auto entry = reinterpret_cast<decltype(&valdoria_ondemand)>(module.resolve("valdoria_ondemand"));
            const Functions *given = entry ? entry() : nullptr;
            if (given && given->version == FunctionsVersion) {
                loaded = given;
                break;
            }
            faults << (given ? QStringLiteral("%1 è di un'altra versione").arg(file) : module.errorString());
        }
        if (!loaded) {
            file.clear();
            fault = QStringLiteral("manca una parte del programma (libvaldoria_ondemand.so%1): reinstallarlo.")
                        .arg(faults.isEmpty() ? QString() : QStringLiteral(": ") + faults.join(QStringLiteral("; ")));
        }
    }
    if (!loaded && why)
        *why = fault;
    return loaded;
}

QString loadedFrom()
{
    functions();
    return file;
}

void setPlaces(const QStringList &dirs)
{
    chosenPlaces = dirs;
    loaded = nullptr;
    tried = false;
}

} // namespace platform::ondemand
