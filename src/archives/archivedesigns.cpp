#include "archivedesigns.h"

#include "common/windows.h"
#include "platform/form.h"

namespace archives {

using platform::Design;

namespace {

QString blanks(int n) { return QString(n, QLatin1Char(' ')); }

Design list(int i, const platform::TwRect &rect) { return {platform::arrayName(QStringLiteral("Listsomm"), i), {}, rect}; }

ArchiveDesign makeQuestionnaireArchive()
{
    ArchiveDesign d;
    d.window = windows::frmRISUL;
    d.caption = QStringLiteral("ELENCO DEI RISULTATI");
    d.table = QStringLiteral("studenti");
    d.label1 = {QStringLiteral("Label1"),
                blanks(6) + QStringLiteral("NOME") + blanks(23) + QStringLiteral("TIPO ESERCIZIO") + blanks(8)
                    + QStringLiteral("Risposte GIUSTE") + blanks(3) + QStringLiteral("MAX PUNTI") + blanks(16)
                    + QStringLiteral("DATA"),
                {1440, 360, 9135, 255}};
    d.columns = {
        {QStringLiteral("cognome e nome"), list(0, {1440, 720, 1695, 4710}), QStringLiteral("NOME")},
        {QStringLiteral("argomento"), list(1, {3360, 720, 2295, 4710}), QStringLiteral("TIPO ESERCIZIO")},
        {QStringLiteral("punteggio"), list(2, {5880, 720, 1215, 4710}), QStringLiteral("Risposte GIUSTE")},
        {QStringLiteral("maxpunti"), list(3, {7320, 720, 1215, 4710}), QStringLiteral("MAX PUNTI")},
        {QStringLiteral("data"), list(4, {8760, 720, 1815, 4710}), QStringLiteral("DATA"), true},
    };
    d.selezione = {QStringLiteral("cmdselezione"), QStringLiteral("SELEZIONO i dati "), {1440, 5640, 4215, 495}};
    d.tutto = {QStringLiteral("cmdtutto"), QStringLiteral("VEDO tutti i dati"), {5880, 5640, 3255, 495}};
    d.continuo = {QStringLiteral("Cmdcontinuo"), QStringLiteral("CONTINUO a scorrere   "), {9240, 5640, 2175, 495}};
    d.stampa = {QStringLiteral("cmdstampa"), QStringLiteral(" STAMPO "), {1440, 6480, 4215, 495}};
    d.elimina = {QStringLiteral("cmdelimina"), QStringLiteral("ELIMINO DALL'ARCHIVIO "), {5880, 6480, 3255, 495}};
    d.menu = {QStringLiteral("cmdcseltaarg"), QStringLiteral("MENU' principale"), {9240, 6480, 2175, 495}};
    d.uscita = {QStringLiteral("cmduscita"), QStringLiteral("  ESCO "), {9240, 7080, 2175, 495}};
    // The heading's columns and the rows' columns are not the same.
    d.printHeading = {{0, QStringLiteral("Nome")},         {18, QStringLiteral("Tipo eserc.")},
                      {38, QStringLiteral("Risp. giuste")}, {51, QStringLiteral("Max punti")},
                      {62, QStringLiteral("Data")}};
    d.printRow = {{1, {}, 0}, {23, {}, 1}, {47, {}, 2}, {53, {}, 3}, {60, {}, 4}};
    d.rowEndsLine = false;
    d.pdfName = QStringLiteral("risultati dei questionari");
    d.everyScreenEnablesSelection = true;
    d.exitAsksFirst = false;
    d.menuClosesQuestionnaire = true;
    return d;
}

ArchiveDesign makeSummativeArchive()
{
    ArchiveDesign d;
    d.window = windows::FLIsomm;
    d.caption = QStringLiteral("ELENCO DEI RISULTATI NEL QUESTIONARIO SOMMATIVO");
    d.table = QStringLiteral("studsomm");
    // Two lines of heads; the per cent signs stand under the total and the skills.
    const QString first = blanks(17) + QStringLiteral("NOME") + blanks(20) + QStringLiteral("TOTALE") + blanks(13)
                          + QStringLiteral("VALUTAZIONE") + blanks(6) + QStringLiteral("CONOSCENZE") + blanks(2)
                          + QStringLiteral("COMPRENS.") + blanks(2) + QStringLiteral("ESTRAPOL.") + blanks(13)
                          + QStringLiteral("DATA");
    const QString second = blanks(53) + QStringLiteral("%") + blanks(61) + QStringLiteral("%") + blanks(20)
                           + QStringLiteral("%") + blanks(22) + QStringLiteral("%");
    d.label1 = {QStringLiteral("Label1"), first + QChar(13) + second, {960, 540, 9975, 495}};
    d.columns = {
        {QStringLiteral("cognome e nome"), list(0, {1200, 1080, 1815, 4710}), QStringLiteral("NOME")},
        {QStringLiteral("punteggio totale"), list(1, {3120, 1080, 855, 4710}), QStringLiteral("TOTALE %")},
        {QStringLiteral("valutazione"), list(2, {4080, 1080, 1695, 4710}), QStringLiteral("VALUTAZIONE")},
        {QStringLiteral("conscere"), list(3, {5880, 1080, 855, 4710}), QStringLiteral("CONOSCENZE %")},
        {QStringLiteral("comprendere"), list(4, {6840, 1080, 855, 4710}), QStringLiteral("COMPRENS. %")},
        {QStringLiteral("applicare"), list(5, {7800, 1080, 855, 4710}), QStringLiteral("ESTRAPOL. %")},
        {QStringLiteral("data"), list(6, {8760, 1080, 1815, 4710}), QStringLiteral("DATA"), true},
    };
    d.selezione = {QStringLiteral("cmdselezione"), QStringLiteral("   SELEZIONO i dati  "), {1200, 6000, 3375, 495}};
    d.tutto = {QStringLiteral("cmdtutto"), QStringLiteral("VEDO tutti i dati"), {4680, 6000, 3495, 495}};
    d.continuo = {QStringLiteral("Cmdcontinuo"), QStringLiteral("CONTINUO a scorrere "), {8280, 6000, 2295, 495}};
    d.stampa = {QStringLiteral("cmdstampa"), QStringLiteral(" STAMPO l'elenco che ho scelto"), {1200, 6720, 3375, 495}};
    d.elimina = {QStringLiteral("cmdelimina"), QStringLiteral("ELIMINO DALL'ARCHIVIO"), {4680, 6720, 3495, 495}};
    d.menu = {QStringLiteral("cmdcseltaarg"), QStringLiteral("Menù principale"), {5880, 7440, 2295, 495}};
    d.uscita = {QStringLiteral("cmduscita"), QStringLiteral("  ESCO "), {8280, 7440, 2295, 495}};
    d.printHeading = {{0, QStringLiteral("Nome")},  {23, QStringLiteral("Tot")}, {27, QStringLiteral("Valutazione")},
                      {45, QStringLiteral("Con")},  {50, QStringLiteral("Comp")}, {55, QStringLiteral("App")},
                      {60, QStringLiteral("Data")}};
    d.printRow = {{0, {}, 0}, {23, {}, 1}, {27, {}, 2}, {45, {}, 3}, {50, {}, 4}, {55, {}, 5}, {60, {}, 6}};
    d.rowEndsLine = true;
    d.pdfName = QStringLiteral("risultati del test sommativo");
    d.everyScreenEnablesSelection = false;
    d.selectionCaptionAfterDeletion = QStringLiteral("SELEZIONO i dati da mostrare");
    d.exitAsksFirst = true;
    d.menuClosesQuestionnaire = false;
    return d;
}

} // namespace

const ArchiveDesign &questionnaireArchive()
{
    static const ArchiveDesign d = makeQuestionnaireArchive();
    return d;
}

const ArchiveDesign &summativeArchive()
{
    static const ArchiveDesign d = makeSummativeArchive();
    return d;
}

} // namespace archives
