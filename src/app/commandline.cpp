#include "commandline.h"

#include "platform/ondemand.h"

#include "datafolder.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace app {

namespace {

// Qt's own options that take a value, and those that stand alone.
const QStringList QtValueOptions{QStringLiteral("-platform"), QStringLiteral("-platformpluginpath"),
                                 QStringLiteral("-platformtheme"), QStringLiteral("-plugin"),
                                 QStringLiteral("-qwindowgeometry"), QStringLiteral("-qwindowtitle"),
                                 QStringLiteral("-qwindowicon"), QStringLiteral("-style"),
                                 QStringLiteral("-stylesheet"), QStringLiteral("-session"),
                                 QStringLiteral("-display"), QStringLiteral("-geometry")};
const QStringList QtFlags{QStringLiteral("-reverse"), QStringLiteral("-widgetcount"), QStringLiteral("-nograb"),
                          QStringLiteral("-dograb"), QStringLiteral("-sync")};

void say(FILE *to, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

CommandLine wrong(const QString &why)
{
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.error = why;
    return line;
}

} // namespace

CommandLine readCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool helpAsked = false, versionAsked = false;
    for (int i = 1; i < arguments.size(); ++i) {
        QString option = arguments[i];
        QString value;
        bool hasValue = false;
        if (option.startsWith(QLatin1String("--")) && option.contains(QLatin1Char('='))) {
            value = option.section(QLatin1Char('='), 1);
            option = option.section(QLatin1Char('='), 0, 0);
            hasValue = true;
        }
        auto takeValue = [&](const QString &what) {
            if (!hasValue && i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1String("--"))) {
                value = arguments[++i];
                hasValue = true;
            }
            if (!hasValue || value.isEmpty())
                return QStringLiteral("all'opzione %1 manca il valore (%2)").arg(option, what);
            return QString();
        };
        QString bad;
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            helpAsked = true;
        } else if (option == QLatin1String("--version")) {
            versionAsked = true;
        } else if (option == QLatin1String("--data")) {
            bad = takeValue(QStringLiteral("una cartella"));
            line.data = value;
        } else if (option == QLatin1String("--scala")) {
            bad = takeValue(QStringLiteral("un numero positivo"));
            bool number = false;
            line.scale = QString(value).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&number);
            if (bad.isEmpty() && (!number || !(line.scale > 0)))
                bad = QStringLiteral("--scala vuole un numero positivo, non \"%1\"").arg(value);
        } else if (option == QLatin1String("--prepara-cartella")) {
            bad = takeValue(QStringLiteral("una cartella"));
            line.folder = value;
        } else if (option == QLatin1String("--gruppo")) {
            bad = takeValue(QStringLiteral("un gruppo di utenti"));
            line.group = value;
        } else if (QtValueOptions.contains(option) && i + 1 < arguments.size()) {
            ++i;
        } else if (QtFlags.contains(option)) {
        } else if (option.startsWith(QLatin1Char('-'))) {
            bad = QStringLiteral("opzione sconosciuta: %1").arg(arguments[i]);
        } else {
            bad = QStringLiteral("argomento inatteso: %1").arg(arguments[i]);
        }
        if (!bad.isEmpty())
            return wrong(bad);
    }
    if (helpAsked) {
        line.action = CommandLine::Action::Help;
    } else if (versionAsked) {
        line.action = CommandLine::Action::Version;
    } else if (!line.folder.isEmpty() || !line.group.isEmpty()) {
        if (line.folder.isEmpty() || line.group.isEmpty())
            return wrong(QStringLiteral("--prepara-cartella e --gruppo vanno dati insieme"));
        line.action = CommandLine::Action::PrepareFolder;
    }
    return line;
}

QString usage()
{
    return QStringLiteral(
        "Uso: valdoria [OPZIONI]\n"
        "Corso sugli agenti esogeni che modellano il rilievo terrestre.\n"
        "\n"
        "Opzioni:\n"
        "  --data CARTELLA      la cartella dei dati, quella che contiene valdoria.mdb\n"
        "                       (anche --data=CARTELLA); vale più del file di configurazione\n"
        "  --scala N            fattore di scala del disegno; 1 = disegno originale\n"
        "  --prepara-cartella CARTELLA --gruppo GRUPPO\n"
        "                       prepara una cartella dei dati comune agli utenti del\n"
        "                       gruppo (permessi 2770, archivio 660), poi esce;\n"
        "                       va eseguito dall'amministratore\n"
        "  --version            scrive la versione e dove sono stampa, grafici e voce\n"
        "  --help               scrive questo aiuto ed esce\n"
        "\n"
        "La cartella dei dati si può fissare anche in /etc/xdg/valdoria/valdoria.conf\n"
        "o in ~/.config/valdoria/valdoria.conf:\n"
        "  [dati]\n"
        "  cartella = /srv/valdoria\n"
        "\n"
        "Esce con stato 2 per un'opzione sbagliata.\n");
}

int runWithoutWindow(const CommandLine &line)
{
    switch (line.action) {
    case CommandLine::Action::Help:
        say(stdout, usage());
        return 0;
    case CommandLine::Action::Version:
    {
        // And where the printer, the charts and the voice come from: an
        // administrator sees at once an install that lacks them.
        QString why;
        platform::ondemand::functions(&why);
        const QString module = platform::ondemand::loadedFrom();
        say(stdout, QStringLiteral("valdoria %1\nstampa, grafici e lettura ad alta voce: %2\n")
                        .arg(QStringLiteral(VALDORIA_VERSION),
                             module.isEmpty() ? why : QDir::toNativeSeparators(module)));
        return 0;
    }
    case CommandLine::Action::PrepareFolder: {
        const storage::Result<QString> done = prepareSharedFolder(line.folder, line.group);
        if (!done) {
            say(stderr, QStringLiteral("valdoria: %1\n").arg(done.error()));
            return 1;
        }
        say(stdout, done.value());
        return 0;
    }
    case CommandLine::Action::Error:
        say(stderr, QStringLiteral("valdoria: %1\nPer l'elenco delle opzioni: valdoria --help\n").arg(line.error));
        return UsageExitStatus;
    case CommandLine::Action::Run:
        break;
    }
    return 0;
}

} // namespace app
