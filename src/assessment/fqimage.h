#pragma once
// The picture-labelling exercise: the topic's picture framed by up to ten light
// boxes, and a numbered list of terms; the pupil puts each term's number on the
// box of the matching feature (dragging it, or picking it and putting it down
// with a click or the keyboard). In the test its result is one more row of the
// questionnaire's results.

#include "common/labeltopics.h"

#include "platform/controls.h"
#include "platform/form.h"

#include <array>

namespace assessment {

class FQimage : public platform::Form
{
    Q_OBJECT
public:
    FQimage();

    void Form_Load() override;
    void Cmdpertest_Click();
    void Cmdpereserc_Click();
    void Label4_DragDrop(int Index, platform::Label *Source);
    void cmdRISULT_Click();
    void cmdriprovo_Click();
    void Cmdtorna_Click();
    void cmdtest_Click();
    void cmdarchivio_Click();
    void cmdscegliarg_Click();
    void cmduscita_Click();

    QString atteso(int box) const { return attesi[box]; }

    platform::TextBox *txtTITOLO;
    platform::PictureBox *Image1;
    std::array<platform::Label *, common::DropBoxCount> Label4{};
    std::array<platform::Label *, common::DropBoxCount> Label3{};
    std::array<platform::Label *, common::DropBoxCount> Label1{};
    platform::CommandButton *cmdLEGGI;
    platform::Label *Label2;
    platform::CommandButton *cmdriprovo;
    platform::CommandButton *cmdRISULT;
    platform::TextBox *txtrisult;
    platform::CommandButton *Cmdtorna;
    platform::CommandButton *cmdtest;
    platform::CommandButton *cmdarchivio;
    platform::CommandButton *cmdscegliarg;
    platform::CommandButton *cmduscita;
    platform::CommandButton *Cmdpertest;
    platform::CommandButton *Cmdpereserc;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Empties the boxes and greys the tiles again.
    void clearBoxes();
    // Names box i for a screen reader: what the picture shows there, what it
    // holds and, once checked, that it is wrong.
    void describeBox(int i);

    std::array<QString, common::DropBoxCount + 1> termini; // terms 1 to n
    std::array<QString, common::DropBoxCount> attesi;      // the number each box expects, empty if unused
    std::array<QString, common::DropBoxCount> seen_;       // what the picture shows at each box
    int numcaselle_ = common::DropBoxCount;
};

} // namespace assessment
