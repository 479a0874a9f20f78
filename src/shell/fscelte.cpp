#include "fscelte.h"

#include "common/granite.h"
#include "common/modvaldoria.h"
#include "common/windows.h"

#include "storage/datapath.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"

namespace shell {

using platform::CommandButton;
using platform::Design;
namespace forms = platform::forms;

namespace {

// The menu's layout: the topic buttons' captions are the topic titles exactly,
// blanks included.
const Design TopicButtons[windows::TopicCount + 1] = {
    {},
    {{}, QStringLiteral("1.  L'aria ed il calore"), {1680, 720, 3855, 615}},
    {{}, QStringLiteral(" 2.  Il vento"), {1680, 1800, 3855, 615}},
    {{}, QStringLiteral("3. La pioggia ed i fiumi"), {1680, 2760, 3855, 615}},
    {{}, QStringLiteral("4.  I fenomeni carsici"), {1680, 3720, 3855, 615}},
    {{}, QStringLiteral("5.  I ghiacciai"), {6480, 720, 3855, 615}},
    {{}, QStringLiteral("6.  Il mare"), {6480, 1800, 3855, 615}},
    {{}, QStringLiteral("7.  Il modellamento in sintesi"), {6480, 2760, 3855, 615}},
};
const Design Sommativo{QStringLiteral("sommativo"), QStringLiteral("questionario sommativo"), {6480, 3720, 3855, 615}};
const Design ArchQuest{QStringLiteral("CMDarchquest"), QStringLiteral(" archivio dei questionari"), {2280, 6480, 2535, 495}};
const Design ArchSomm{QStringLiteral("CMDarchsomm"), QStringLiteral("archivio dei test sommativi"), {4800, 6480, 2535, 495}};
const Design Uscita{QStringLiteral("cmduscita"), QStringLiteral("ESCO dal programma"), {7330, 6480, 2175, 495}};
// In the band's free end, beside the exit: the teacher's view of the class.
const Design Andamento{QStringLiteral("CMDandamento"), QStringLiteral("andamento della classe"), {9585, 6420, 1170, 600}};
const Design Band{QStringLiteral("Label1"), {}, {1200, 6360, 9615, 720}};
// Below the band, covering nothing: what waits for the room's server.
const Design Attesa{QStringLiteral("lblATTESA"), {}, {1200, 7200, 9615, 255}};
constexpr double AttesaPoints = 8;

const QColor TopicColor(255, 218, 192);
const QColor ArchiveColor(255, 192, 128);
const QColor BandColor(255, 224, 192);
constexpr double TopicPoints = 9.75;
constexpr double SommativoPoints = 12;

} // namespace

Fscelte::Fscelte() : Form(windows::Fscelte)
{
    setCaption(QStringLiteral("scelta dell'argomento"));
    setPicture(common::graniteBackground());

    Label1 = new platform::Label(this, Band);
    platform::setBackColor(Label1, BandColor);

    for (int i = 1; i <= windows::TopicCount; ++i) {
        Design d = TopicButtons[i];
        d.name = platform::arrayName(QStringLiteral("Command1"), i);
        auto *b = new CommandButton(this, d);
        platform::setBackColor(b, TopicColor);
        b->setFont(platform::designFont(platform::SansSerif, TopicPoints, true));
        connect(b, &CommandButton::Click, this, [this, i] { Command1_Click(i); });
        Command1[i] = b;
    }
    sommativo = new CommandButton(this, Sommativo);
    platform::setBackColor(sommativo, TopicColor);
    sommativo->setFont(platform::designFont(platform::SansSerif, SommativoPoints, true));
    connect(sommativo, &CommandButton::Click, this, &Fscelte::sommativo_Click);

    CMDarchquest = new CommandButton(this, ArchQuest);
    CMDarchsomm = new CommandButton(this, ArchSomm);
    cmduscita = new CommandButton(this, Uscita);
    for (auto *b : {CMDarchquest, CMDarchsomm, cmduscita})
        platform::setBackColor(b, ArchiveColor);
    connect(CMDarchquest, &CommandButton::Click, this, &Fscelte::CMDarchquest_Click);
    connect(CMDarchsomm, &CommandButton::Click, this, &Fscelte::CMDarchsomm_Click);
    connect(cmduscita, &CommandButton::Click, this, &Fscelte::cmduscita_Click);
    CMDandamento = new CommandButton(this, Andamento);
    CMDandamento->setWordWrap(true);
    platform::setBackColor(CMDandamento, ArchiveColor);
    connect(CMDandamento, &CommandButton::Click, this, &Fscelte::CMDandamento_Click);
    lblATTESA = new platform::Label(this, Attesa);
    platform::setBackColor(lblATTESA, BandColor);
    lblATTESA->setFont(platform::designFont(platform::SansSerif, AttesaPoints, false));
    lblATTESA->setAlignment(Qt::AlignCenter);
    lblATTESA->setVisible(false);
    Command1[1]->setFocus();
}

void Fscelte::mostraattesa()
{
    const int waiting = Modvaldoria::db->pendingResults();
    QStringList said;
    if (waiting > 0)
        said << (waiting == 1 ? QStringLiteral("1 risultato in attesa del server")
                              : QStringLiteral("%1 risultati in attesa del server").arg(waiting));
    if (const QString notice = Modvaldoria::db->serverNotice(); !notice.isEmpty() && waiting > 0)
        said << notice.section(QLatin1Char('.'), 0, 0); // what is wrong, in its first sentence
    lblATTESA->setCaption(said.join(QStringLiteral(": ")));
    lblATTESA->setToolTip(Modvaldoria::db->serverNotice());
    lblATTESA->setVisible(!said.isEmpty());
}

void Fscelte::Form_Load()
{
    fillScreen();
    Modvaldoria::db = platform::must(storage::Database::open(storage::dataFile(Modvaldoria::DatabaseFile)));
    // Results kept on the room's server travel on their own; while some wait,
    // the menu says how many, and why when the server is at fault.
    if (storage::ResultsSender *watch = Modvaldoria::db->serverWatch())
        connect(watch, &storage::ResultsSender::changed, this, &Fscelte::mostraattesa, Qt::QueuedConnection);
    mostraattesa();
}

void Fscelte::Command1_Click(int Index)
{
    Modvaldoria::numargomento = QVariant::fromValue<qint16>(qint16(Index + windows::TopicCodeOffset));
    Modvaldoria::mostraargomento();
    if (windows::topic(Index)->questionnaire) {
        Modvaldoria::apridomande();
        Modvaldoria::caricarisposte();
        setVisible(false);
    }
}

void Fscelte::sommativo_Click()
{
    setVisible(false);
    forms::load(windows::FSommati)->setVisible(true);
}

void Fscelte::CMDandamento_Click()
{
    forms::show(windows::FAndamento);
    setVisible(false);
}

void Fscelte::CMDarchquest_Click()
{
    forms::show(windows::frmRISUL);
    setVisible(false);
}

void Fscelte::CMDarchsomm_Click()
{
    forms::load(windows::FLIsomm)->setVisible(true);
    setVisible(false);
}

void Fscelte::cmduscita_Click() { Modvaldoria::confermauscita(); }

} // namespace shell
