#include "fquest.h"

#include "common/granite.h"
#include "common/windows.h"
#include "platform/dialogs.h"
#include "platform/rnd.h"
#include "platform/runtime.h"

namespace assessment {

using platform::CheckBox;
using platform::CommandButton;
using platform::Design;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

// The window's layout. Row i shows question i + 1.
const Design Text2Design{QStringLiteral("Text2"), {}, {1440, 520, 8175, 325}};
const Design VeroFalsoDesign{QStringLiteral("labelverofalso"), QStringLiteral(" V     F"), {9600, 525, 855, 375}};
const RowsLayout RowPlaces{1440, 840, 360, 8175, 360, 9600, 495, 10080, 375, 375};
const Design RisultDesign{QStringLiteral("cmdRISULT"), QStringLiteral("RISULTATO"), {5760, 4680, 1935, 855}};
const Design LabrisultDesign{QStringLiteral("Labrisult"), {}, {7800, 4920, 615, 375}};
const Design MostraDesign{QStringLiteral("cmdmostradomande"), QStringLiteral("MOSTRA DOMANDE"), {8520, 4680, 1935, 855}};
const Design ImageDesign{QStringLiteral("cmdimage"), QStringLiteral("Continua il test con l'immagine"), {5760, 5760, 4695, 495}};
const Design HelpDesign{QStringLiteral("Cmdhelp"), QStringLiteral("? AIUTO ?"), {1320, 7440, 1440, 495}};
const Design EsercitazioneDesign{QStringLiteral("cmdesercitazione"), QStringLiteral("PRIMA MI ESERCITO"), {2760, 7440, 2055, 495}};
const Design QuestionarioDesign{QStringLiteral("cmdquestionario"), QStringLiteral("   PASSO al TEST    "), {4800, 7440, 2040, 495}};
const Design ScegliDesign{QStringLiteral("cmdscegli"), QStringLiteral("Menù principale"), {6840, 7440, 2055, 495}};
const Design UscitaDesign{QStringLiteral("cmduscita"), QStringLiteral("Esco dal programma"), {8880, 7440, 1815, 495}};
// Under the help button, clear of the design.
const platform::TwRect LeggiPlace{1320, 8160, 1440, 495};

const QString PassoAlTest = QStringLiteral("PASSO AL TEST");

const QColor TitleBack(192, 192, 255);
const QColor HeadBack(224, 224, 224);
const QColor RowBack(192, 192, 192);
const QColor WrongBack(255, 0, 0);
const QColor ScoreBack(192, 192, 255);
const QColor PracticeBack(192, 192, 192);

constexpr int PracticeMode = 0;
constexpr int TestMode = 1;
constexpr int MaxPoints = 10;

const QString Help = QStringLiteral(
    "Hai DUE possibilità: 1) cliccare su 'PASSO AL TEST' e INIZIARE SUBITO IL QUESTIONARIO. Al termine delle "
    "risposte ti verrà comunicato il risultato e questo verrà registrato nell'archivio.     2) Oppure puoi cliccare "
    "su 'PRIMA MI ESERCITO', per controllare e migliorare le tue prestazioni. Al termine dell'esercitazione, potrai "
    "comunque PASSARE AL QUESTIONARIO per registrare il risultato");

int mode() { return M::modotest.toInt(); }

} // namespace

FQuest::FQuest() : Form(windows::FQuest)
{
    setCaption(QStringLiteral("questionari"));
    setPicture(common::graniteBackground());
    const QFont bold = platform::designFont(platform::SansSerif, 8.25, true);

    Text2 = new platform::TextBox(this, Text2Design);
    Text2->setReadOnly(true);
    Text2->setFocusPolicy(Qt::NoFocus);
    Text2->setFont(bold);
    platform::setBackColor(Text2, TitleBack);
    labelverofalso = new platform::Label(this, VeroFalsoDesign);
    labelverofalso->setFont(bold);
    platform::setBackColor(labelverofalso, HeadBack);

    rows_ = std::make_unique<TrueFalseRows>(this, RowPlaces, RowBack, HeadBack);
    Text1 = rows_->Text1;
    Check1 = rows_->Check1;
    Check2 = rows_->Check2;
    for (int i = 0; i < FQuest::Rows; ++i) {
        connect(Check1[i], &CheckBox::Click, this, [this, i] { Check1_Click(i); });
        connect(Check2[i], &CheckBox::Click, this, [this, i] { Check2_Click(i); });
    }

    cmdRISULT = new CommandButton(this, RisultDesign);
    Labrisult = new platform::Label(this, LabrisultDesign);
    Labrisult->setFont(platform::designFont(platform::SansSerif, 12, true));
    Labrisult->setAlignment(Qt::AlignCenter);
    platform::setBackColor(Labrisult, ScoreBack);
    Labrisult->setAccessibleName(QStringLiteral("Risposte giuste"));
    cmdmostradomande = new CommandButton(this, MostraDesign);
    cmdimage = new CommandButton(this, ImageDesign);
    Cmdhelp = new CommandButton(this, HelpDesign);
    cmdesercitazione = new CommandButton(this, EsercitazioneDesign);
    platform::setBackColor(cmdesercitazione, PracticeBack);
    cmdquestionario = new CommandButton(this, QuestionarioDesign);
    cmdscegli = new CommandButton(this, ScegliDesign);
    cmduscita = new CommandButton(this, UscitaDesign);

    connect(cmdRISULT, &CommandButton::Click, this, &FQuest::cmdRISULT_Click);
    connect(cmdmostradomande, &CommandButton::Click, this, &FQuest::cmdmostradomande_Click);
    connect(cmdimage, &CommandButton::Click, this, &FQuest::cmdimage_Click);
    connect(Cmdhelp, &CommandButton::Click, this, &FQuest::Cmdhelp_Click);
    connect(cmdesercitazione, &CommandButton::Click, this, &FQuest::cmdesercitazione_Click);
    connect(cmdquestionario, &CommandButton::Click, this, &FQuest::cmdquestionario_Click);
    connect(cmdscegli, &CommandButton::Click, this, &FQuest::cmdscegli_Click);
    connect(cmduscita, &CommandButton::Click, this, &FQuest::cmduscita_Click);
    Text2->setAccessibleName(QStringLiteral("Titolo della serie"));
    setEscapeControl(cmdscegli);
    cmdLEGGI = rows_->leggi(this, LeggiPlace, Text2)->button();
    cmdesercitazione->setFocus();
}

void FQuest::Form_Load()
{
    fillScreen();
    cmdmostradomande->setVisible(false);
    cmdRISULT->setVisible(false);
    cmdimage->setVisible(false);
    M::modotest = PracticeMode;
}

// ------------------------------------------------------------------ answers

void FQuest::Check1_Click(int Index) { rows_->tickedTrue(Index); }

void FQuest::Check2_Click(int Index) { rows_->tickedFalse(Index); }

// ---------------------------------------------------------------- showing a set

void FQuest::cmdmostradomande_Click()
{
    Labrisult->setCaption({});
    for (int k = 1; k <= Rows; ++k) {
        M::errate[k] = 0;
        Text1[k - 1]->clear();
        platform::setBackColor(Text1[k - 1], RowBack);
        rows_->markWrong(k - 1, false);
    }
    M::caricarisposte();
    ordinecasuale();
    Text2->setText(M::titolo);
    cmdRISULT->setEnabled(true);
    cmdmostradomande->setEnabled(false);
    // The keyboard goes to the first row of the set on show.
    Check1[0]->setFocus();
}

void FQuest::ordinecasuale()
{
    // The drawing needs ten texts to draw from: a set with an empty one is a
    // fault of the question bank, not something to wait for.
    for (int k = 1; k <= Rows; ++k)
        if (M::testodomande[k].toString().isEmpty())
            platform::fatal(QStringLiteral("La serie \"%1\" della tabella \"%2\" ha l'affermazione %3 vuota: "
                                           "il questionario non si può mostrare.")
                                .arg(M::titolo, M::rsdomande->table())
                                .arg(k));
    for (int k = 1; k <= Rows; ++k)
        domandelavoro[k] = M::testodomande[k].toString();
    for (int j = 1; j <= Rows; ++j) {
        int k;
        do {
            k = int(platform::rnd() * 10 + 1);
        } while (domandelavoro[k].isEmpty());
        testiordinati[j] = domandelavoro[k];
        chiaviordinate[j] = M::rispesatte[k];
        posizioni[j] = std::int16_t(k);
        domandelavoro[k].clear();
    }
    // Seeded only after the first drawing: the first order of a run is the same
    // on every start, every later one comes from the clock.
    platform::randomize();
    for (int j = 1; j <= Rows; ++j) {
        rows_->show(j - 1, testiordinati[j]);
        rows_->untick(j - 1);
        M::rispesatte[j] = chiaviordinate[j];
    }
}

// ----------------------------------------------------------------- scoring

void FQuest::verifica() { nonrisposte = std::int16_t(rows_->verifica()); }

void FQuest::cmdRISULT_Click()
{
    verifica();
    if (nonrisposte > 0)
        return;
    M::punteggio = 0;
    M::contarisposte();
    Labrisult->setCaption(M::punteggio.toString());
    for (int i = 0; i < Rows; ++i)
        if (M::errate[i + 1] == 1) {
            platform::setBackColor(Text1[i], WrongBack);
            rows_->markWrong(i, true);
        }

    if (mode() == PracticeMode) {
        platform::must(M::rsdomande->moveNext());
        if (M::rsdomande->eof())
            platform::must(M::rsdomande->moveFirst());
        M::caricarisposte();
        cmdRISULT->setEnabled(false);
        cmdmostradomande->setVisible(true);
        cmdmostradomande->setEnabled(true);
        cmdmostradomande->setFocus();
    } else if (mode() == TestMode) {
        // The set's row and its ten answers, stored together.
        QList<storage::Fields> answers;
        for (int k = 1; k <= Rows; ++k)
            answers << M::risposta(M::rsdomande->table(), Text2->text(), posizioni[k], M::rispdate[k],
                                   M::rispdate[k] == M::rispesatte[k]);
        M::registra(QStringLiteral("studenti"),
                    {{QStringLiteral("punteggio"), M::punteggio},
                     {QStringLiteral("cognome e nome"), M::nomealunno},
                     {QStringLiteral("argomento"), Text2->text()},
                     {QStringLiteral("maxpunti"), MaxPoints}},
                    answers);
        platform::must(M::rsdomande->moveNext());
        if (!M::rsdomande->eof()) {
            M::caricarisposte();
            cmdRISULT->setEnabled(false);
            cmdmostradomande->setEnabled(true);
            cmdmostradomande->setFocus();
        } else {
            platform::must(M::rsdomande->moveFirst());
            cmdimage->setEnabled(true);
            cmdimage->setVisible(true);
            cmdRISULT->setEnabled(false);
            cmdmostradomande->setEnabled(false);
            cmdimage->setFocus();
        }
    }
}

// ------------------------------------------------------------------- modes

void FQuest::cmdesercitazione_Click()
{
    cmdesercitazione->setVisible(false);
    cmdmostradomande->press();
    cmdquestionario->setText(PassoAlTest);
    cmdquestionario->setVisible(true);
    cmdimage->setVisible(true);
    cmdRISULT->setVisible(true);
    cmdmostradomande->setVisible(true);
    M::modotest = PracticeMode;
    Labrisult->setCaption({});
}

void FQuest::cmdquestionario_Click()
{
    M::modotest = TestMode;
    M::chiedinome();
    if (M::nomealunno.isEmpty()) {
        M::modotest = PracticeMode;
        return;
    }
    cmdimage->setEnabled(false);
    cmdesercitazione->setVisible(false);
    cmdRISULT->setVisible(true);
    cmdmostradomande->setVisible(true);
    cmdquestionario->setVisible(false);
    // The test has no way back: Escape must not drop the sets still to come
    // (the summative test has none either).
    setEscapeControl(nullptr);
    for (int i = 0; i < Rows; ++i) {
        rows_->show(i, {});
        rows_->untick(i);
        rows_->markWrong(i, false);
        platform::setBackColor(Text1[i], RowBack);
    }
    Text2->clear();
    Labrisult->setCaption({});
    platform::must(M::rsdomande->moveFirst());
    M::caricarisposte();
    cmdmostradomande->press();
}

// ---------------------------------------------------------------- elsewhere

void FQuest::cmdimage_Click()
{
    Labrisult->setCaption({});
    forms::load(windows::FQimage);
    forms::control(windows::FQimage, QStringLiteral("cmdRISULT"))->setEnabled(true);
    forms::show(windows::FQimage);
    setVisible(false);
}

void FQuest::Cmdhelp_Click() { platform::msgBox(Help); }

void FQuest::cmdscegli_Click()
{
    forms::unload(windows::FQuest);
    forms::unload(windows::FQimage);
    forms::show(windows::Fscelte);
}

void FQuest::cmduscita_Click() { M::confermauscita(); }

} // namespace assessment
