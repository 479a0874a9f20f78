#pragma once
// The summative test of the whole course: after the pupil's name, the pages of
// the summative table one after another, ten true/false statements each, scored
// by skill (statements 1-5 knowledge, 6-8 comprehension, 9-10 application).
// After the last page the points become percentages and a grade, one result row
// is stored, and the result card is offered.

#include "truefalserows.h"

#include "platform/controls.h"
#include "storage/dao.h"
#include "platform/form.h"

#include <array>
#include <cstdint>
#include <memory>

namespace assessment {

class FSommati : public platform::Form
{
    Q_OBJECT
public:
    FSommati();

    void Form_Load() override;
    void Check1_Click(int Index);
    void Check2_Click(int Index);
    void cmdAVANTI_Click();
    void cmdRISULT_Click();
    void Command1_Click();
    void fine_Click();

    static constexpr int Rows = TrueFalseRows::Rows;

    platform::TextBox *Text2;
    platform::Label *Label1;
    std::array<platform::TextBox *, Rows> Text1{};
    std::array<platform::CheckBox *, Rows> Check1{};
    std::array<platform::CheckBox *, Rows> Check2{};
    platform::CommandButton *cmdRISULT;
    platform::CommandButton *cmdAVANTI;
    platform::CommandButton *Command1;
    platform::CommandButton *fine;
    platform::CommandButton *cmdLEGGI;

private:
    // Copies the current page of the summative table into the window and the
    // shared texts and key.
    void creaultmat();
    // Counts the rows left without an answer into nonrisposte and says so.
    void verifica();

    std::unique_ptr<TrueFalseRows> rows_;
    std::unique_ptr<storage::Recordset> rssommativo;
    std::int16_t nonrisposte = 0;
    QList<storage::Fields> risposte_; // every page's answers, stored with the test
};

} // namespace assessment
