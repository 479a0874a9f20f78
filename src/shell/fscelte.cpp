#include "fscelte.h"

#include "granite.h"
#include "modvaldoria.h"

#include "../platform/datapath.h"

namespace shell {

using platform::CommandButton;
using platform::TwRect;

namespace {

struct TopicButton
{
    const char *caption;
    TwRect rect;
};

// Captions are the topic titles exactly, blanks included.
const TopicButton TopicButtons[8] = {
    {},
    {"1.  L'aria ed il calore", {1680, 720, 3855, 615}},
    {" 2.  Il vento", {1680, 1800, 3855, 615}},
    {"3. La pioggia ed i fiumi", {1680, 2760, 3855, 615}},
    {"4.  I fenomeni carsici", {1680, 3720, 3855, 615}},
    {"5.  I ghiacciai", {6480, 720, 3855, 615}},
    {"6.  Il mare", {6480, 1800, 3855, 615}},
    {"7.  Il modellamento in sintesi", {6480, 2760, 3855, 615}},
};

const QColor TopicColor(255, 218, 192);
const QColor ArchiveColor(255, 192, 128);
const QColor BandColor(255, 224, 192);

const QString DatabaseFile = QStringLiteral("valdoria.mdb");

} // namespace

Fscelte::Fscelte() : Form(Name)
{
    setCaption(QStringLiteral("scelta dell'argomento"));
    setPicture(graniteBackground());

    Label1 = new platform::Label(this, QStringLiteral("Label1"), {}, {1200, 6360, 9615, 720});
    platform::setBackColor(Label1, BandColor);

    for (int i = 1; i <= 7; ++i) {
        auto *b = new CommandButton(this, platform::arrayName(QStringLiteral("Command1"), i),
                                    QString::fromUtf8(TopicButtons[i].caption), TopicButtons[i].rect);
        platform::setBackColor(b, TopicColor);
        b->setFont(platform::designFont(platform::SansSerif, 9.75, true));
        connect(b, &CommandButton::Click, this, [this, i] { Command1_Click(i); });
        Command1[i] = b;
    }
    sommativo = new CommandButton(this, QStringLiteral("sommativo"), QStringLiteral("questionario sommativo"),
                                  {6480, 3720, 3855, 615});
    platform::setBackColor(sommativo, TopicColor);
    sommativo->setFont(platform::designFont(platform::SansSerif, 12, true));
    connect(sommativo, &CommandButton::Click, this, &Fscelte::sommativo_Click);

    CMDarchquest = new CommandButton(this, QStringLiteral("CMDarchquest"), QStringLiteral(" archivio dei questionari"),
                                     {2280, 6480, 2535, 495});
    CMDarchsomm = new CommandButton(this, QStringLiteral("CMDarchsomm"), QStringLiteral("archivio dei test sommativi"),
                                    {4800, 6480, 2535, 495});
    cmduscita = new CommandButton(this, QStringLiteral("cmduscita"), QStringLiteral("ESCO dal programma"),
                                  {7330, 6480, 2175, 495});
    for (auto *b : {CMDarchquest, CMDarchsomm, cmduscita})
        platform::setBackColor(b, ArchiveColor);
    connect(CMDarchquest, &CommandButton::Click, this, &Fscelte::CMDarchquest_Click);
    connect(CMDarchsomm, &CommandButton::Click, this, &Fscelte::CMDarchsomm_Click);
    connect(cmduscita, &CommandButton::Click, this, &Fscelte::cmduscita_Click);
}

void Fscelte::Form_Load()
{
    fillScreen();
    Modvaldoria::db = platform::Database::open(platform::dataFile(DatabaseFile));
}

void Fscelte::Command1_Click(int Index)
{
    Modvaldoria::numargomento = QVariant::fromValue<qint16>(qint16(Index + 6));
    Modvaldoria::mostraargomento();
    if (Index != 7) {
        Modvaldoria::apridomande();
        Modvaldoria::caricarisposte();
        setVisible(false);
    }
}

void Fscelte::sommativo_Click()
{
    if (!platform::forms::isRegistered(QStringLiteral("FSommati")))
        return;
    setVisible(false);
    platform::forms::load(QStringLiteral("FSommati"))->setVisible(true);
}

void Fscelte::CMDarchquest_Click()
{
    if (!platform::forms::isRegistered(QStringLiteral("frmRISUL")))
        return;
    platform::forms::show(QStringLiteral("frmRISUL"));
    setVisible(false);
}

void Fscelte::CMDarchsomm_Click()
{
    if (!platform::forms::isRegistered(QStringLiteral("FLIsomm")))
        return;
    platform::forms::load(QStringLiteral("FLIsomm"))->setVisible(true);
    setVisible(false);
}

void Fscelte::cmduscita_Click() { Modvaldoria::confermauscita(); }

} // namespace shell
