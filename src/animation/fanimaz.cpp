#include "fanimaz.h"

#include "sequences.h"

#include "storage/datapath.h"
#include "common/granite.h"
#include "common/modvaldoria.h"
#include "common/windows.h"

namespace animation {

using platform::CommandButton;
using platform::Design;
using platform::TwRect;
namespace forms = platform::forms;

namespace {

// The player's layout.
const Design Image1Design{QStringLiteral("Image1"), {}, {840, 960, 4575, 3735}};    // step view
const Design Image2Design{QStringLiteral("Image2"), {}, {6360, 960, 4575, 3735}};   // timer view
const Design Command1Design{QStringLiteral("Command1"), QStringLiteral("Vedo le immagini una per una"),
                            {840, 4920, 4575, 615}};
const Design Lab1Design{QStringLiteral("Lab1"), {}, {5400, 4920, 1095, 615}};
const Design CmdanimDesign{QStringLiteral("Cmdanim"), QStringLiteral("Riavvio l'animazione"), {6480, 4920, 4695, 615}};
const Design Label1Design{QStringLiteral("Label1"), QStringLiteral("         Regolo la velocità  dell'animazione"),
                          {7200, 6960, 3375, 255}};
const Design CmdtornaDesign{QStringLiteral("Cmdtorna"), QStringLiteral("TORNO all'argomento"), {840, 7320, 4575, 615}};
const Design CmdminvelDesign{QStringLiteral("cmdminvel"), QStringLiteral("Minore"), {6480, 7320, 1935, 615}};
const Design LabvelDesign{QStringLiteral("Labvel"), {}, {8400, 7320, 1005, 555}};
const Design CmdmaxvelDesign{QStringLiteral("cmdmaxvel"), QStringLiteral("Maggiore"), {9360, 7320, 1815, 615}};
// Sequence 1 shows its two views a little further apart.
constexpr int MovedViewsSequence = 1;
constexpr TwRect MovedImage1{960, 960, 4575, 3735};
constexpr TwRect MovedImage2{6280, 960, 4575, 3735};

const QColor FrameNumberText(192, 64, 0);
const QColor SpeedCaptionText(255, 224, 192);
const QColor LevelText(255, 128, 0);

} // namespace

Fanimaz::Fanimaz() : Form(windows::Fanimaz)
{
    setCaption(QStringLiteral("ANIMAZIONI"));
    setPicture(common::graniteBackground());

    Image1 = new platform::PictureBox(this, Image1Design);
    Image2 = new platform::PictureBox(this, Image2Design);

    Command1 = new CommandButton(this, Command1Design);
    Lab1 = new platform::Label(this, Lab1Design);
    Lab1->setFont(platform::designFont(platform::SansSerif, 24, true));
    platform::setForeColor(Lab1, FrameNumberText);
    Lab1->setAlignment(Qt::AlignCenter);
    Lab1->setAutoFillBackground(true);
    Cmdanim = new CommandButton(this, CmdanimDesign);
    Label1 = new platform::Label(this, Label1Design);
    Label1->setTransparent(true);
    platform::setForeColor(Label1, SpeedCaptionText);
    Cmdtorna = new CommandButton(this, CmdtornaDesign);
    cmdminvel = new CommandButton(this, CmdminvelDesign);
    Labvel = new platform::Label(this, LabvelDesign);
    platform::setForeColor(Labvel, LevelText);
    Labvel->setFont(platform::designFont(platform::SansSerif, 14, true));
    Labvel->setAlignment(Qt::AlignCenter);
    Labvel->setAutoFillBackground(true);
    cmdmaxvel = new CommandButton(this, CmdmaxvelDesign);

    cmdmaxvel->setFont(platform::designFont(platform::SansSerif, 8.25, true));
    cmdminvel->setFont(platform::designFont(platform::SansSerif, 8.25, true));
    Cmdtorna->setFont(platform::designFont(platform::SansSerif, 9.75, true));
    Cmdanim->setFont(platform::designFont(platform::SansSerif, 9.75, true));
    cmdminvel->setAccessibleName(QStringLiteral("Minore: animazione più lenta"));
    cmdmaxvel->setAccessibleName(QStringLiteral("Maggiore: animazione più veloce"));

    Timer1 = new platform::Timer(this, QStringLiteral("Timer1"), 0);

    connect(Command1, &CommandButton::Click, this, &Fanimaz::Command1_Click);
    connect(Cmdanim, &CommandButton::Click, this, &Fanimaz::Cmdanim_Click);
    connect(Cmdtorna, &CommandButton::Click, this, &Fanimaz::Cmdtorna_Click);
    connect(cmdminvel, &CommandButton::Click, this, &Fanimaz::cmdminvel_Click);
    connect(cmdmaxvel, &CommandButton::Click, this, &Fanimaz::cmdmaxvel_Click);
    connect(Timer1, &platform::Timer::Tick, this, &Fanimaz::Timer1_Timer);
    setEscapeControl(Cmdtorna);
    Command1->setFocus();
}

void Fanimaz::Form_Load()
{
    fillScreen();
    intervallo_ = StartMs;
    Timer1->setInterval(intervallo_);
    livello_ = StartLevel;
    Labvel->setCaption(QString::number(livello_));

    fotogrammi_ = QStringList{QString()};
    for (const Sequence &s : sequences())
        if (s.number == Modvaldoria::numanimazione)
            for (const QString &f : s.frames)
                fotogrammi_ << storage::dataFile(f);
    numfotogrammi_ = int(fotogrammi_.size()) - 1;

    if (Modvaldoria::numanimazione == MovedViewsSequence) {
        platform::place(Image2, MovedImage2);
        platform::place(Image1, MovedImage1);
    }
    indanim_ = 1;
    Image2->loadPicture(fotogrammi_.value(1));
    Image1->loadPicture(fotogrammi_.value(1));
    indpasso_ = 0;
}

void Fanimaz::Timer1_Timer()
{
    ++indanim_;
    if (indanim_ <= numfotogrammi_) {
        Lab1->setCaption(QString::number(indanim_));
        Lab1->repaint();
        Image2->loadPicture(fotogrammi_[indanim_]);
    }
}

void Fanimaz::Cmdanim_Click() { indanim_ = 0; }

void Fanimaz::Command1_Click()
{
    ++indpasso_;
    Lab1->setCaption(QString::number(indpasso_));
    Image1->loadPicture(fotogrammi_.value(indpasso_));
    if (indpasso_ == numfotogrammi_)
        indpasso_ = 0;
}

void Fanimaz::cmdmaxvel_Click()
{
    cmdminvel->setEnabled(true);
    intervallo_ -= StepMs;
    if (intervallo_ < FastestMs) {
        intervallo_ = FastestMs;
        cmdmaxvel->setEnabled(false);
    }
    Timer1->setInterval(intervallo_);
    ++livello_;
    Labvel->setCaption(QString::number(livello_));
}

void Fanimaz::cmdminvel_Click()
{
    cmdmaxvel->setEnabled(true);
    intervallo_ += StepMs;
    if (intervallo_ > SlowestMs) {
        intervallo_ = SlowestMs;
        cmdminvel->setEnabled(false);
    }
    Timer1->setInterval(intervallo_);
    --livello_;
    Labvel->setCaption(QString::number(livello_));
}

void Fanimaz::Cmdtorna_Click()
{
    const QString lesson = windows::lessonWindowOfCode(Modvaldoria::numargomento);
    if (lesson.isEmpty())
        return;
    setVisible(false);
    Timer1->setEnabled(false);
    forms::unload(objectName());
    forms::load(lesson)->setVisible(true);
}

} // namespace animation
