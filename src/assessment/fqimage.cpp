#include "fqimage.h"

#include "common/granite.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "storage/datapath.h"
#include "platform/readaloud.h"
#include "platform/runtime.h"

namespace assessment {

using platform::CommandButton;
using platform::Design;
using platform::Label;
namespace forms = platform::forms;
using namespace common;
namespace M = Modvaldoria;

namespace {

// The window's layout; the boxes' places are in the topic table.
const Design TitoloDesign{QStringLiteral("txtTITOLO"), {}, {840, 120, 6135, 280}};
const Design Image1Design{QStringLiteral("Image1"), {}, PictureFrame};
constexpr int TileTop = 600, TileStep = 480;
Design label3Design(int i)
{
    return {platform::arrayName(QStringLiteral("Label3"), i), QString::number(i + 1), {7680, TileTop + TileStep * i, 375, 495}};
}
Design label1Design(int i) { return {platform::arrayName(QStringLiteral("Label1"), i), {}, {8040, TileTop + TileStep * i, 2535, 495}}; }
Design label4Design(int i) { return {platform::arrayName(QStringLiteral("Label4"), i), {}, DropBoxes[i].rect}; }
const Design Label2Design{QStringLiteral("Label2"),
                          QStringLiteral("CLICCA sui numeri e, tenendo premuto il tasto, trascinali nelle caselle chiare"),
                          {7200, 5760, 2655, 1215}};
// Under the picture on the left, clear of the boxes and the buttons.
const platform::TwRect LeggiPlace{600, 6840, 1440, 495};
const Design RiprovoDesign{QStringLiteral("cmdriprovo"), QStringLiteral("RIPROVO"), {2280, 5760, 2055, 495}};
const Design RisultDesign{QStringLiteral("cmdRISULT"), QStringLiteral("RISULTATO"), {4440, 5760, 2055, 495}};
const Design TxtrisultDesign{QStringLiteral("txtrisult"), {}, {6600, 5760, 495, 420}};
const Design TornaDesign{QStringLiteral("Cmdtorna"), QStringLiteral("Mi esercito (questionario)"), {4200, 6840, 2055, 495}};
const Design TestDesign{QStringLiteral("cmdtest"), QStringLiteral(" FACCIO IL TEST"), {6480, 6840, 2055, 495}};
const Design ArchivioDesign{QStringLiteral("cmdarchivio"), QStringLiteral(" ARCHIVIO  DEI RISULTATI"), {2280, 7440, 2895, 495}};
const Design ScegliargDesign{QStringLiteral("cmdscegliarg"), QStringLiteral("Menù principale"), {5280, 7440, 2535, 495}};
const Design UscitaDesign{QStringLiteral("cmduscita"), QStringLiteral("ESCO "), {7920, 7440, 2655, 495}};
const Design PertestDesign{QStringLiteral("Cmdpertest"), QStringLiteral("Command1"), {}};
const Design PereservDesign{QStringLiteral("Cmdpereserc"), QStringLiteral("Command1"), {}};

// The keyboard goes round the picture clockwise, from the top left.
constexpr int BoxTabOrder[DropBoxCount] = {4, 3, 2, 1, 0, 9, 8, 7, 6, 5};

const QColor TitleBack(255, 202, 192);
const QColor BoxBack(255, 224, 192);
const QColor TileBack(192, 192, 192);
const QColor TermBack(232, 232, 232);
const QColor PlacedBack(255, 255, 128);
const QColor WrongBack(255, 0, 0);
const QColor ScoreBack(192, 192, 255);

constexpr int TestMode = 1;
constexpr int PracticeMode = 0;

const QString PictureSuffix = QStringLiteral(" (immagine)");

} // namespace

FQimage::FQimage() : Form(windows::FQimage)
{
    setCaption(QStringLiteral("DESCRIVI L'IMMAGINE"));
    setPicture(common::graniteBackground());
    const QFont big = platform::designFont(platform::SansSerif, 12, true);

    txtTITOLO = new platform::TextBox(this, TitoloDesign);
    txtTITOLO->setReadOnly(true);
    txtTITOLO->setFocusPolicy(Qt::NoFocus);
    txtTITOLO->setFont(platform::designFont(platform::SansSerif, 8.25, true));
    platform::setBackColor(txtTITOLO, TitleBack);
    Image1 = new platform::PictureBox(this, Image1Design, true);

    for (int i = 0; i < DropBoxCount; ++i) {
        Label3[i] = new Label(this, label3Design(i));
        Label3[i]->setFont(big);
        Label3[i]->setAlignment(Qt::AlignCenter);
        Label3[i]->setDragSource(true);
        Label3[i]->setAccessibleName(QStringLiteral("numero %1").arg(i + 1));
        Label1[i] = new Label(this, label1Design(i));
        Label1[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        platform::setBackColor(Label1[i], TermBack);
    }
    for (int i : BoxTabOrder) {
        Label4[i] = new Label(this, label4Design(i));
        Label4[i]->setFont(big);
        Label4[i]->setAlignment(Qt::AlignCenter);
        Label4[i]->setDropTarget(true);
        Label4[i]->setAccessibleDescription(QString::fromUtf8(DropBoxes[i].where));
        connect(Label4[i], &Label::DragDrop, this, [this, i](Label *source) { Label4_DragDrop(i, source); });
    }
    // The instruction stands on the stone, over the corner of a button below it.
    Label2 = new Label(this, Label2Design);
    Label2->setTransparent(true);
    platform::setForeColor(Label2, Qt::white);
    Label2->setFont(platform::designFont(platform::SansSerif, 8.25, true));

    cmdriprovo = new CommandButton(this, RiprovoDesign);
    cmdRISULT = new CommandButton(this, RisultDesign);
    txtrisult = new platform::TextBox(this, TxtrisultDesign);
    txtrisult->setReadOnly(true);
    txtrisult->setFocusPolicy(Qt::NoFocus);
    txtrisult->setFont(big);
    txtrisult->setAlignment(Qt::AlignCenter);
    txtrisult->setAccessibleName(QStringLiteral("Caselle giuste"));
    platform::setBackColor(txtrisult, ScoreBack);
    Cmdtorna = new CommandButton(this, TornaDesign);
    cmdtest = new CommandButton(this, TestDesign);
    cmdarchivio = new CommandButton(this, ArchivioDesign);
    cmdscegliarg = new CommandButton(this, ScegliargDesign);
    cmduscita = new CommandButton(this, UscitaDesign);
    Cmdpertest = new CommandButton(this, PertestDesign);
    Cmdpereserc = new CommandButton(this, PereservDesign);
    Cmdpertest->setVisible(false);
    Cmdpereserc->setVisible(false);

    connect(Cmdpertest, &CommandButton::Click, this, &FQimage::Cmdpertest_Click);
    connect(Cmdpereserc, &CommandButton::Click, this, &FQimage::Cmdpereserc_Click);
    connect(cmdRISULT, &CommandButton::Click, this, &FQimage::cmdRISULT_Click);
    connect(cmdriprovo, &CommandButton::Click, this, &FQimage::cmdriprovo_Click);
    connect(Cmdtorna, &CommandButton::Click, this, &FQimage::Cmdtorna_Click);
    connect(cmdtest, &CommandButton::Click, this, &FQimage::cmdtest_Click);
    connect(cmdarchivio, &CommandButton::Click, this, &FQimage::cmdarchivio_Click);
    connect(cmdscegliarg, &CommandButton::Click, this, &FQimage::cmdscegliarg_Click);
    connect(cmduscita, &CommandButton::Click, this, &FQimage::cmduscita_Click);
    txtTITOLO->setAccessibleName(QStringLiteral("Titolo"));
    setEscapeControl(Cmdtorna);
    // "Leggi": the title, then the numbered terms, each lit while it is read.
    auto lit = [](QWidget *w, const QColor &back) {
        return [w, back](bool on) { platform::setBackColor(w, on ? platform::ReadingMark : back); };
    };
    cmdLEGGI = (new platform::ReadAloud(this, LeggiPlace, [this, lit] {
                   QList<platform::Piece> pieces{{txtTITOLO->text(), lit(txtTITOLO, txtTITOLO->palette().color(QPalette::Base))}};
                   for (int i = 0; i < DropBoxCount; ++i)
                       if (Label1[i]->isVisibleTo(this) && !Label1[i]->caption().trimmed().isEmpty())
                           pieces.append({platform::numberWord(i + 1) + QStringLiteral(": ") + Label1[i]->caption().trimmed(),
                                          lit(Label1[i], TermBack)});
                   return pieces;
               }))->button();
    Label3[0]->setFocus();
}

void FQimage::Form_Load()
{
    fillScreen();
    cmdriprovo->setEnabled(false);
    clearBoxes();
    numcaselle_ = DropBoxCount;
    for (int i = 0; i < DropBoxCount; ++i) {
        Label3[i]->setVisible(false);
        Label1[i]->setVisible(false);
    }
    if (const LabelTopic *topic = labelTopic(M::numargomento.toInt()); topic && M::numargomento.isValid()) {
        const int n = int(topic->terms.size());
        for (int k = 1; k <= n; ++k)
            termini[k] = topic->terms[k - 1];
        Image1->loadPicture(storage::dataFile(topic->picture));
        Image1->setAccessibleName(QStringLiteral("Immagine da descrivere"));
        for (int k = 1; k <= DropBoxCount; ++k) {
            Label3[k - 1]->setCaption(QString::number(k));
            Label1[k - 1]->setCaption(termini[k]);
            Label3[k - 1]->setAccessibleDescription(termini[k].trimmed());
        }
        txtTITOLO->setText(topic->title);
        for (int i = 0; i < DropBoxCount; ++i) {
            attesi[i] = topic->attesi[i] ? QString::number(topic->attesi[i]) : QString();
            seen_[i] = QString::fromUtf8(topic->seen[i]);
            Label4[i]->setVisible(topic->attesi[i] != 0);
            describeBox(i);
        }
        for (int i = 0; i < n; ++i) {
            Label3[i]->setVisible(true);
            Label1[i]->setVisible(true);
        }
        numcaselle_ = n;
    }
    if (M::modotest.toInt() == TestMode)
        Cmdpertest->press();
    else if (M::modotest.toInt() == PracticeMode)
        Cmdpereserc->press();
}

void FQimage::showEvent(QShowEvent *event)
{
    // Shown again for the test after being created in practice: the test lock
    // holds now too, so that the test cannot be left without its row.
    if (M::modotest.toInt() == TestMode)
        Cmdpertest->press();
    Form::showEvent(event);
}

void FQimage::Cmdpertest_Click()
{
    for (auto *b : {cmdtest, Cmdtorna, cmdscegliarg, cmduscita, cmdarchivio})
        b->setEnabled(false);
}

void FQimage::Cmdpereserc_Click() { cmdarchivio->setEnabled(false); }

void FQimage::Label4_DragDrop(int Index, Label *Source)
{
    Label4[Index]->setCaption(Source->caption());
    platform::setBackColor(Source, PlacedBack);
    describeBox(Index);
}

void FQimage::describeBox(int i)
{
    // Named after what the picture shows there, never after the term it wants.
    const QString what = seen_[i].isEmpty() ? QString::fromUtf8(DropBoxes[i].where)
                                            : QStringLiteral("casella: ") + seen_[i];
    const QString placed = Label4[i]->caption().isEmpty() ? QStringLiteral("vuota")
                                                          : QStringLiteral("numero ") + Label4[i]->caption();
    Label4[i]->setAccessibleName(what + QStringLiteral(", ") + placed
                                 + (Label4[i]->isMarked() ? QStringLiteral(", sbagliata") : QString()));
}

void FQimage::cmdRISULT_Click()
{
    M::esattiimg = 0;
    for (int i = 0; i < DropBoxCount; ++i) {
        if (attesi[i].isEmpty())
            continue;
        if (Label4[i]->caption() == attesi[i])
            ++M::esattiimg;
        else {
            platform::setBackColor(Label4[i], WrongBack);
            Label4[i]->setMarked(true);
        }
        describeBox(i);
    }
    txtrisult->setText(QString::number(M::esattiimg));
    cmdRISULT->setEnabled(false);
    cmdriprovo->setEnabled(true);
    cmdriprovo->setFocus();
    if (M::modotest.toInt() == TestMode) {
        // The test's row and one answer for each box, stored together.
        const QString prova = QStringLiteral("immagine%1").arg(M::numargomento.toInt() - windows::TopicCodeOffset);
        QList<storage::Fields> answers;
        for (int i = 0; i < DropBoxCount; ++i)
            if (!attesi[i].isEmpty())
                answers << M::risposta(prova, txtTITOLO->text(), i + 1, Label4[i]->caption().toInt(),
                                       Label4[i]->caption() == attesi[i]);
        M::registra(QStringLiteral("studenti"),
                    {{QStringLiteral("maxpunti"), numcaselle_},
                     {QStringLiteral("punteggio"), M::esattiimg},
                     {QStringLiteral("cognome e nome"), M::nomealunno},
                     {QStringLiteral("argomento"), txtTITOLO->text() + PictureSuffix}},
                    answers);
        for (auto *b : {cmdscegliarg, cmdarchivio, cmduscita})
            b->setEnabled(true);
        for (auto *b : {cmdtest, Cmdtorna, cmdriprovo})
            b->setEnabled(false);
        cmdarchivio->setFocus();
        M::modotest = PracticeMode;
    }
}

void FQimage::clearBoxes()
{
    Label::releasePicked();
    for (int i = 0; i < DropBoxCount; ++i) {
        Label4[i]->setCaption({});
        Label4[i]->setMarked(false);
        describeBox(i);
        platform::setBackColor(Label4[i], BoxBack);
        platform::setBackColor(Label3[i], TileBack);
    }
}

void FQimage::cmdriprovo_Click()
{
    clearBoxes();
    cmdriprovo->setEnabled(false);
    cmdRISULT->setEnabled(true);
    txtrisult->clear();
    Label3[0]->setFocus();
}

void FQimage::Cmdtorna_Click()
{
    M::modotest = PracticeMode;
    forms::press(windows::FQuest, QStringLiteral("cmdesercitazione"));
    forms::show(windows::FQuest);
    setVisible(false);
    cmdriprovo->setEnabled(false);
    txtrisult->clear();
    clearBoxes();
}

void FQimage::cmdtest_Click()
{
    clearBoxes();
    txtrisult->clear();
    cmdriprovo->setEnabled(false);
    setVisible(false);
    forms::show(windows::FQuest);
    forms::press(windows::FQuest, QStringLiteral("cmdquestionario"));
}

void FQimage::cmdarchivio_Click()
{
    forms::show(windows::frmRISUL);
    forms::unload(windows::FQimage);
}

void FQimage::cmdscegliarg_Click()
{
    forms::show(windows::Fscelte);
    forms::unload(windows::FQuest);
    forms::unload(windows::FQimage);
}

void FQimage::cmduscita_Click() { M::confermauscita(); }

} // namespace assessment
