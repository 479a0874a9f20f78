#include "modvaldoria.h"

#include "../platform/dialogs.h"
#include "../platform/form.h"
#include "../platform/runtime.h"

namespace Modvaldoria {

namespace {
const char *const LessonWindows[] = {"fargom", "farg2", "farg3", "farg4", "farg5", "farg6", "farg7"};

int topicCode(const QVariant &code, bool *ok)
{
    *ok = false;
    if (!code.isValid() || code.isNull())
        return 0;
    const int c = code.toInt(ok);
    return *ok && c >= FirstTopicCode && c <= LastTopicCode ? c : (*ok = false, 0);
}
} // namespace

QString lessonWindow(const QVariant &code)
{
    bool ok;
    const int c = topicCode(code, &ok);
    return ok ? QString::fromLatin1(LessonWindows[c - FirstTopicCode]) : QString();
}

void mostraargomento()
{
    const QString name = lessonWindow(numargomento);
    if (name.isEmpty())
        return;
    platform::forms::load(name)->setVisible(true);
}

void apridomande()
{
    bool ok;
    const int c = topicCode(numargomento, &ok);
    if (ok)
        rsdomande = db->openRecordset(QStringLiteral("domande%1").arg(c - 6));
    if (!rsdomande)
        platform::fatal(QStringLiteral("Nessuna tabella di domande è aperta."));
    rsdomande->moveFirst();
}

void caricarisposte()
{
    for (int k = 1; k <= 10; ++k) {
        testodomande[k] = rsdomande->field(k + 1);
        rispesatte[k] = std::int16_t(rsdomande->field(k + 11).toInt());
    }
    titolo = rsdomande->field(QStringLiteral("argomento")).toString();
}

void confermauscita()
{
    titolo = QStringLiteral("USCITA MsgBox");
    if (platform::msgBox(QStringLiteral("sei sicuro di voler uscire dal programma?"), platform::Buttons::OkCancel,
                         titolo)
        == platform::Answer::Ok)
        platform::endProgram(0);
}

void chiedinome()
{
    nomealunno = platform::inputBox(QStringLiteral("Scrivi qui prima il cognome, poi il tuo nome"));
}

void reset()
{
    db.reset();
    numargomento = QVariant();
    rsdomande.reset();
    titolo.clear();
    testodomande = {};
    rispesatte = {};
    rispdate = {};
    errate = {};
    punteggio = QVariant();
    modotest = QVariant();
    nomealunno.clear();
    numanimazione = 0;
    rsstudenti.reset();
    esattiimg = 0;
    conosci = comprendi = applica = somma = QVariant();
    valuta = QVariant();
    numdomsomm = 0;
    testisomm = {};
    rssomm.reset();
    contatore = QVariant();
}

} // namespace Modvaldoria
