#include "frisomma.h"

#include "common/granite.h"
#include "common/modvaldoria.h"
#include "common/windows.h"

namespace assessment {

using platform::CommandButton;
using platform::Design;
using platform::Label;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

// The card's layout. Each value stands in the blank stretch of the fixed line
// it belongs to: the words, the value, then the per cent sign ("su   100" on
// the total's line).
const Design LabnomeDesign{QStringLiteral("Labnome"), QStringLiteral("nome"), {2160, 600, 6975, 615}};
const Design LblsommaDesign{QStringLiteral("lblsomma"), QStringLiteral("Punteggio complessivo:              su   100"),
                            {2400, 1560, 5295, 375}};
const Design LABsommaDesign{QStringLiteral("LABsomma"), QStringLiteral("0"), {5400, 1560, 615, 375}};
const Design LblconsciDesign{QStringLiteral("lblconsci"), QStringLiteral("Conoscere:                     %     "),
                             {1560, 2640, 3735, 375}};
const Design LABconosciDesign{QStringLiteral("LABconosci"), QStringLiteral("0"), {3480, 2640, 615, 375}};
const Design LblcomprendiDesign{QStringLiteral("lblcomprendi"), QStringLiteral("Comprendere:                %     "),
                                {1560, 3360, 3615, 375}};
const Design LABcomprendiDesign{QStringLiteral("LABcomprendi"), QStringLiteral("0"), {3480, 3360, 615, 375}};
const Design LblapplicaDesign{QStringLiteral("lblapplica"), QStringLiteral("Applicare:                      %  "),
                              {1560, 4080, 3735, 375}};
const Design LABapplicaDesign{QStringLiteral("LABapplica"), QStringLiteral("0"), {3480, 4080, 615, 375}};
const Design LblvalutaDesign{QStringLiteral("lblvaluta"), QStringLiteral("VALUTAZIONE:"), {2400, 5400, 5655, 375}};
const Design LABvalutaDesign{QStringLiteral("LABvaluta"), QStringLiteral("0"), {4440, 5400, 2655, 375}};
const Design ListaDesign{QStringLiteral("cmdlista"), QStringLiteral("MOSTRA  L'ARCHIVIO "), {8040, 6240, 3015, 615}};
const Design ScegliargDesign{QStringLiteral("cmdscegliarg"), QStringLiteral("Menù principale"), {5040, 6960, 3015, 615}};
const Design UscitaDesign{QStringLiteral("cmduscita"), QStringLiteral("ESCO "), {8040, 6960, 3015, 615}};

constexpr double CardPoints = 12;
constexpr double NamePoints = 14;
const QColor CardText(255, 255, 224);
const QColor ValueText(255, 224, 128);

} // namespace

FRIsomma::FRIsomma() : Form(windows::FRIsomma)
{
    setCaption(QStringLiteral("RISULTATO DEL TEST SOMMATIVO"));
    setPicture(common::graniteBackground());
    const QFont card = platform::designFont(platform::SansSerif, CardPoints, true);

    Labnome = new Label(this, LabnomeDesign);
    Labnome->setFont(platform::designFont(platform::SansSerif, NamePoints, true));
    Labnome->setAlignment(Qt::AlignCenter);
    Labnome->setAccessibleName(QStringLiteral("Nome"));
    // The fixed lines first, the values over their blank stretches.
    lblsomma = new Label(this, LblsommaDesign);
    lblconsci = new Label(this, LblconsciDesign);
    lblcomprendi = new Label(this, LblcomprendiDesign);
    lblapplica = new Label(this, LblapplicaDesign);
    lblvaluta = new Label(this, LblvalutaDesign);
    LABsomma = new Label(this, LABsommaDesign);
    LABconosci = new Label(this, LABconosciDesign);
    LABcomprendi = new Label(this, LABcomprendiDesign);
    LABapplica = new Label(this, LABapplicaDesign);
    LABvaluta = new Label(this, LABvalutaDesign);
    for (Label *l : {Labnome, lblsomma, lblconsci, lblcomprendi, lblapplica, lblvaluta, LABsomma, LABconosci,
                     LABcomprendi, LABapplica, LABvaluta}) {
        if (l != Labnome)
            l->setFont(card);
        l->setTransparent(true);
        l->setWordWrap(false);
        platform::setForeColor(l, CardText);
    }
    for (Label *l : {LABsomma, LABconosci, LABcomprendi, LABapplica, LABvaluta})
        platform::setForeColor(l, ValueText);
    LABsomma->setAccessibleName(QStringLiteral("Punteggio complessivo su 100"));
    LABconosci->setAccessibleName(QStringLiteral("Conoscere, per cento"));
    LABcomprendi->setAccessibleName(QStringLiteral("Comprendere, per cento"));
    LABapplica->setAccessibleName(QStringLiteral("Applicare, per cento"));
    LABvaluta->setAccessibleName(QStringLiteral("Valutazione"));

    cmdlista = new CommandButton(this, ListaDesign);
    cmdscegliarg = new CommandButton(this, ScegliargDesign);
    cmduscita = new CommandButton(this, UscitaDesign);
    connect(cmdlista, &CommandButton::Click, this, &FRIsomma::cmdlista_Click);
    connect(cmdscegliarg, &CommandButton::Click, this, &FRIsomma::cmdscegliarg_Click);
    connect(cmduscita, &CommandButton::Click, this, &FRIsomma::cmduscita_Click);
    setEscapeControl(cmdscegliarg);
    cmdlista->setFocus();
}

void FRIsomma::Form_Load() { fillScreen(); }

void FRIsomma::showEvent(QShowEvent *event)
{
    showResults();
    Form::showEvent(event);
}

void FRIsomma::showResults()
{
    Labnome->setCaption(M::nomealunno);
    LABsomma->setCaption(M::somma.toString());
    LABvaluta->setCaption(M::valuta.toString());
    LABconosci->setCaption(M::conosci.toString());
    LABcomprendi->setCaption(M::comprendi.toString());
    LABapplica->setCaption(M::applica.toString());
}

void FRIsomma::cmdlista_Click()
{
    setVisible(false);
    forms::unload(windows::FRIsomma);
    forms::show(windows::FLIsomm);
}

void FRIsomma::cmdscegliarg_Click()
{
    forms::unload(windows::FRIsomma);
    forms::show(windows::Fscelte);
}

void FRIsomma::cmduscita_Click() { M::confermauscita(); }

} // namespace assessment
