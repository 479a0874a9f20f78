#pragma once
// The animation player: the frames of one sequence shown twice side by side,
// played by a timer on the right (at a speed the pupil sets) and stepped through
// by hand on the left. Frames are read from their files when they are due.

#include "platform/controls.h"
#include "platform/form.h"

#include <QStringList>

namespace animation {

class Fanimaz : public platform::Form
{
    Q_OBJECT
public:
    Fanimaz();

    void Form_Load() override;
    void Timer1_Timer();
    void Command1_Click();
    void Cmdanim_Click();
    void cmdmaxvel_Click();
    void cmdminvel_Click();
    void Cmdtorna_Click();

    int numfotogrammi() const { return numfotogrammi_; }
    QString fotogramma(int i) const { return fotogrammi_.value(i); }
    qint32 indanim() const { return indanim_; }
    int indpasso() const { return indpasso_; }
    int livello() const { return livello_; }
    qint32 intervallo() const { return intervallo_; }

    platform::PictureBox *Image1; // step view
    platform::PictureBox *Image2; // timer view
    platform::CommandButton *Command1;
    platform::Label *Lab1;
    platform::CommandButton *Cmdanim;
    platform::Label *Label1;
    platform::CommandButton *Cmdtorna;
    platform::CommandButton *cmdminvel;
    platform::Label *Labvel;
    platform::CommandButton *cmdmaxvel;
    platform::Timer *Timer1;

    // Interval limits in milliseconds: the timer never stops, and never crawls.
    static constexpr qint32 FastestMs = 1;
    static constexpr qint32 SlowestMs = 1800;
    static constexpr qint32 StepMs = 100;
    static constexpr qint32 StartMs = 701;
    static constexpr int StartLevel = 11;

private:
    QStringList fotogrammi_; // element 0 holds nothing; frames 1..numfotogrammi
    int numfotogrammi_ = 0;
    qint32 indanim_ = 1;
    std::int16_t indpasso_ = 0;
    std::int16_t livello_ = StartLevel;
    qint32 intervallo_ = StartMs;
};

} // namespace animation
