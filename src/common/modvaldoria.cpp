#include "modvaldoria.h"

#include "platform/dialogs.h"
#include "platform/form.h"
#include "platform/runtime.h"

#include "windows.h"

namespace Modvaldoria {

void mostraargomento()
{
    if (const windows::Topic *t = windows::topicOfCode(numargomento))
        platform::forms::load(windows::lessonWindow(*t))->setVisible(true);
}

void apridomande()
{
    // Only the topic buttons call this, right after setting the code; any other
    // value is a fault of the program, not something to carry on from with the
    // questions of an earlier topic.
    const windows::Topic *t = windows::topicOfCode(numargomento);
    if (!t)
        platform::fatal(QStringLiteral("Le domande non si possono aprire: nessun argomento è scelto (codice %1).")
                            .arg(numargomento.isValid() ? numargomento.toString() : QStringLiteral("vuoto")));
    rsdomande = db->openRecordset(windows::questionTable(*t));
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

void contarisposte()
{
    for (int k = 1; k <= 10; ++k) {
        if (rispdate[k] == rispesatte[k])
            punteggio = punteggio.toInt() + 1;
        else
            errate[k] = 1;
    }
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
