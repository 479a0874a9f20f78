#include "fsommati.h"

#include "common/granite.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"

#include <QTimer>

#include <cmath>

namespace assessment {

using platform::CheckBox;
using platform::CommandButton;
using platform::Design;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

// The window's layout. Row i shows statement i + 1.
const Design Text2Design{QStringLiteral("Text2"), {}, {630, 1320, 7665, 280}};
const Design Label1Design{QStringLiteral("Label1"), QStringLiteral(" V      F"), {8280, 1320, 855, 255}};
const RowsLayout RowPlaces{600, 1560, 360, 7695, 375, 8280, 495, 8760, 375, 375};
const Design RisultDesign{QStringLiteral("cmdRISULT"), QStringLiteral("RISULTATO"), {6240, 5640, 2655, 975}};
const Design AvantiDesign{QStringLiteral("cmdAVANTI"), QStringLiteral("  DOMANDE SUCCESSIVE"), {9000, 5640, 2655, 975}};
const Design Command1Design{QStringLiteral("Command1"), QStringLiteral("Menù principale"), {6240, 7200, 2655, 615}};
const Design FineDesign{QStringLiteral("fine"), QStringLiteral("Esco dal programma"), {9000, 7200, 2655, 615}};
// Under the rows on the left, clear of the design.
const platform::TwRect LeggiPlace{630, 7200, 1440, 615};

const QString Finished = QStringLiteral("IL TEST E' FINITO");

const QColor TextBack(255, 255, 255);
const QColor BoxBack(224, 224, 224);

// Statements 1 to 5 test knowledge, 6 to 8 comprehension, 9 and 10 application.
constexpr int LastKnowledge = 5;
constexpr int LastComprehension = 8;

} // namespace

FSommati::FSommati() : Form(windows::FSommati)
{
    setCaption(QStringLiteral("Test sommativo"));
    setPicture(common::graniteBackground());
    const QFont bold = platform::designFont(platform::SansSerif, 8.25, true);

    Text2 = new platform::TextBox(this, Text2Design);
    Text2->setReadOnly(true);
    Text2->setFocusPolicy(Qt::NoFocus);
    Text2->setFont(bold);
    Label1 = new platform::Label(this, Label1Design);
    Label1->setFont(bold);
    platform::setBackColor(Label1, BoxBack);
    rows_ = std::make_unique<TrueFalseRows>(this, RowPlaces, TextBack, BoxBack);
    Text1 = rows_->Text1;
    Check1 = rows_->Check1;
    Check2 = rows_->Check2;
    for (int i = 0; i < FSommati::Rows; ++i) {
        connect(Check1[i], &CheckBox::Click, this, [this, i] { Check1_Click(i); });
        connect(Check2[i], &CheckBox::Click, this, [this, i] { Check2_Click(i); });
    }
    cmdAVANTI = new CommandButton(this, AvantiDesign);
    cmdRISULT = new CommandButton(this, RisultDesign);
    Command1 = new CommandButton(this, Command1Design);
    fine = new CommandButton(this, FineDesign);
    for (auto *b : {cmdAVANTI, cmdRISULT})
        b->setFont(platform::designFont(platform::SansSerif, 9.75, true));

    // The second press of a double click would land on the page it brought,
    // before the pupil has seen it, and find it unanswered.
    cmdAVANTI->setIgnoreRepeatPress(true);
    connect(cmdAVANTI, &CommandButton::Click, this, &FSommati::cmdAVANTI_Click);
    connect(cmdRISULT, &CommandButton::Click, this, &FSommati::cmdRISULT_Click);
    connect(Command1, &CommandButton::Click, this, &FSommati::Command1_Click);
    connect(fine, &CommandButton::Click, this, &FSommati::fine_Click);
    Text2->setAccessibleName(QStringLiteral("Titolo della pagina"));
    cmdLEGGI = rows_->leggi(this, LeggiPlace, Text2)->button();
    Check1[0]->setFocus();
}

void FSommati::Form_Load()
{
    fillScreen();
    M::somma = 0;
    M::conosci = 0;
    M::comprendi = 0;
    M::applica = 0;
    M::numdomsomm = 0;
    // A pupil who pressed OK without typing a name is asked again; Annulla
    // goes back to the menu.
    bool cancelled = false;
    M::chiedinome(&cancelled);
    if (cancelled) {
        // No name, no test: back to the menu once the window is up, rather than
        // leave the pupil before empty rows.
        cmdAVANTI->setEnabled(false);
        cmdRISULT->setVisible(false);
        QTimer::singleShot(0, this, &FSommati::Command1_Click);
        return;
    }
    rssommativo = platform::must(M::db->openRecordset(QStringLiteral("sommativo")));
    platform::must(rssommativo->moveFirst());
    creaultmat();
    cmdRISULT->setVisible(false);
}

void FSommati::creaultmat()
{
    for (int k = 1; k <= Rows; ++k) {
        M::testisomm[k] = platform::must(rssommativo->field(k + 1)).toString();
        M::rispesatte[k] = std::int16_t(platform::must(rssommativo->field(k + 11)).toInt());
    }
    for (int k = 1; k <= Rows; ++k)
        rows_->show(k - 1, M::testisomm[k]);
    Text2->setText(platform::must(rssommativo->field(QStringLiteral("Argomento"))).toString());
}

void FSommati::Check1_Click(int Index) { rows_->tickedTrue(Index); }

void FSommati::Check2_Click(int Index) { rows_->tickedFalse(Index); }

void FSommati::verifica() { nonrisposte = std::int16_t(rows_->verifica()); }

void FSommati::cmdAVANTI_Click()
{
    if (!rssommativo)
        return;
    verifica();
    if (nonrisposte > 0)
        return;
    ++M::numdomsomm;
    int knowledge = 0, comprehension = 0, application = 0;
    for (int k = 1; k <= Rows; ++k) {
        if (M::rispdate[k] != M::rispesatte[k])
            continue;
        if (k <= LastKnowledge)
            ++knowledge;
        else if (k <= LastComprehension)
            ++comprehension;
        else
            ++application;
    }
    M::conosci = M::conosci.toDouble() + knowledge;
    M::comprendi = M::comprendi.toDouble() + comprehension;
    M::applica = M::applica.toDouble() + application;
    M::somma = M::somma.toDouble() + knowledge + comprehension + application;
    for (int k = 1; k <= Rows; ++k)
        risposte_ << M::risposta(QStringLiteral("sommativo"), Text2->text(), k, M::rispdate[k],
                                 M::rispdate[k] == M::rispesatte[k]);
    platform::must(rssommativo->moveNext());
    if (rssommativo->eof()) {
        M::calcolavoto();
        for (QVariant *v : {&M::conosci, &M::comprendi, &M::applica, &M::somma})
            *v = int(std::floor(v->toDouble()));
        // The test's row and its answers, page by page, stored together.
        M::registra(QStringLiteral("studsomm"),
                    {{QStringLiteral("cognome e nome"), M::nomealunno},
                     {QStringLiteral("punteggio totale"), M::somma},
                     {QStringLiteral("conscere"), M::conosci},
                     {QStringLiteral("comprendere"), M::comprendi},
                     {QStringLiteral("applicare"), M::applica},
                     {QStringLiteral("valutazione"), M::valuta}},
                    risposte_);
        cmdRISULT->setVisible(true);
        cmdAVANTI->setText(Finished);
        cmdAVANTI->setEnabled(false);
        cmdRISULT->setFocus();
        return;
    }
    for (int contatore = 1; contatore <= Rows; ++contatore) {
        M::contatore = contatore;
        Text1[contatore - 1]->clear();
        rows_->untick(contatore - 1);
    }
    Text2->clear();
    creaultmat();
    Check1[0]->setFocus();
}

void FSommati::cmdRISULT_Click()
{
    forms::load(windows::FRIsomma);
    setVisible(false);
    forms::unload(windows::FSommati);
    forms::show(windows::FRIsomma); // the card reads the results of the test that has just ended
}

void FSommati::Command1_Click()
{
    setVisible(false);
    forms::show(windows::Fscelte);
    forms::unload(windows::FSommati);
}

void FSommati::fine_Click() { M::confermauscita(); }

} // namespace assessment
