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
    rsdomande = platform::must(db->openRecordset(windows::questionTable(*t)));
    platform::must(rsdomande->moveFirst());
}

void caricarisposte()
{
    for (int k = 1; k <= 10; ++k) {
        testodomande[k] = platform::must(rsdomande->field(k + 1));
        rispesatte[k] = std::int16_t(platform::must(rsdomande->field(k + 11)).toInt());
    }
    titolo = platform::must(rsdomande->field(QStringLiteral("argomento"))).toString();
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
                         titolo, platform::Default::Harmless)
        == platform::Answer::Ok)
        platform::endProgram(0);
}

void chiedinome(bool *cancelled)
{
    // Blanks around a name are no part of it: " Verdi Paolo " must be found
    // as "Verdi Paolo" in the archives. A name of blanks only is no name.
    bool gaveUp = false;
    for (;;) {
        nomealunno = platform::inputBox(QStringLiteral("Scrivi qui prima il cognome, poi il tuo nome"),
                                        platform::AppTitle, {}, &gaveUp)
                         .trimmed();
        if (gaveUp || !nomealunno.isEmpty())
            break;
        platform::msgBox(NameNeeded);
    }
    if (gaveUp)
        nomealunno.clear();
    if (cancelled)
        *cancelled = gaveUp;
}

void calcolavoto()
{
    // The maxima of N pages of ten statements: five of knowledge, three of
    // comprehension, two of application on each page.
    const std::int16_t n = numdomsomm;
    if (n <= 0)
        platform::fatal(QStringLiteral("Il voto non si può calcolare: nessuna pagina del test è stata completata."));
    const std::int16_t total = std::int16_t(10 * n), knowledge = std::int16_t(5 * n),
                       comprehension = std::int16_t(3 * n), application = std::int16_t(2 * n);
    somma = somma.toDouble() * (100.0 / total);
    conosci = conosci.toDouble() * (100.0 / knowledge);
    comprendi = comprendi.toDouble() * (100.0 / comprehension);
    applica = applica.toDouble() * (100.0 / application);
    // The bands overlap by one and the later test wins.
    const double p = somma.toDouble();
    if (p < 35)
        valuta = QStringLiteral("MOLTO INSUFF.");
    if (p > 34 && p < 56)
        valuta = QStringLiteral("NON SUFFICIENTE");
    if (p > 55 && p < 76)
        valuta = QStringLiteral("SUFFICIENTE");
    if (p > 75 && p < 86)
        valuta = QStringLiteral("BUONO");
    if (p > 85 && p < 95)
        valuta = QStringLiteral("DISTINTO");
    if (p > 94)
        valuta = QStringLiteral("OTTIMO");
}

storage::Fields risposta(const QString &prova, const QString &insieme, int numero, int risposta, bool giusta)
{
    return {{storage::Database::NameColumn, nomealunno}, {QStringLiteral("prova"), prova},
            {QStringLiteral("insieme"), insieme},        {QStringLiteral("numero"), numero},
            {QStringLiteral("risposta"), risposta},      {QStringLiteral("giusta"), giusta ? 1 : 0}};
}

bool registra(const QString &table, const storage::Fields &result, const QList<storage::Fields> &answers)
{
    return platform::storeOrRetry([&] {
        return db->inOneTransaction([&] {
            const storage::Status stored = db->append(table, {result});
            return stored ? db->append(storage::Database::AnswersTable, answers) : stored;
        });
    });
}

bool passwordinsegnante()
{
    if (!db->needsTeacherPassword())
        return true;
    const QString password = platform::passwordBox(
        QStringLiteral("I risultati sono sul server della classe: scrivi la password dell'insegnante"),
        QStringLiteral("PASSWORD DELL'INSEGNANTE"));
    if (password.isEmpty())
        return false;
    if (const storage::Status s = db->setTeacherPassword(password); !s) {
        platform::msgBox(s.error());
        return false;
    }
    return true;
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
