#pragma once
// The true/false questionnaire of a topic: sets of ten statements shown in a
// random order, answered with a "V" and an "F" box per row. In practice the
// pupil moves from set to set and sees the score; in the test every set of the
// topic is answered once under the pupil's name and each score is stored.

#include "truefalserows.h"

#include "common/modvaldoria.h"
#include "platform/controls.h"
#include "platform/form.h"

#include <array>
#include <cstdint>
#include <memory>

namespace assessment {

class FQuest : public platform::Form
{
    Q_OBJECT
public:
    FQuest();

    void Form_Load() override;
    void Check1_Click(int Index);
    void Check2_Click(int Index);
    void cmdesercitazione_Click();
    void cmdquestionario_Click();
    void cmdmostradomande_Click();
    void cmdRISULT_Click();
    void cmdimage_Click();
    void Cmdhelp_Click();
    void cmdscegli_Click();
    void cmduscita_Click();

    static constexpr int Rows = TrueFalseRows::Rows;

    platform::TextBox *Text2;
    platform::Label *labelverofalso;
    std::array<platform::TextBox *, Rows> Text1{};
    std::array<platform::CheckBox *, Rows> Check1{};
    std::array<platform::CheckBox *, Rows> Check2{};
    platform::CommandButton *cmdRISULT;
    platform::CommandButton *cmdLEGGI;
    platform::Label *Labrisult;
    platform::CommandButton *cmdmostradomande;
    platform::CommandButton *cmdimage;
    platform::CommandButton *Cmdhelp;
    platform::CommandButton *cmdesercitazione;
    platform::CommandButton *cmdquestionario;
    platform::CommandButton *cmdscegli;
    platform::CommandButton *cmduscita;

private:
    // Counts the rows left without an answer into nonrisposte and says so.
    void verifica();
    // Draws the order of the current set and shows it.
    void ordinecasuale();

    std::unique_ptr<TrueFalseRows> rows_;
    Modvaldoria::Array10<QString> domandelavoro;
    Modvaldoria::Array10<QString> testiordinati;
    Modvaldoria::Array10<std::int16_t> chiaviordinate{};
    // Row j shows the statement stored at position posizioni[j] of its set.
    Modvaldoria::Array10<std::int16_t> posizioni{};
    std::int16_t nonrisposte = 0;
};

} // namespace assessment
