#pragma once
// The result card of the summative test that has just ended: the pupil's name,
// the total out of 100, the three skills in per cent and the grade in words.
// It only shows the shared results; it neither computes nor stores.

#include "platform/controls.h"
#include "platform/form.h"

namespace assessment {

class FRIsomma : public platform::Form
{
    Q_OBJECT
public:
    FRIsomma();

    void Form_Load() override;
    void cmdlista_Click();
    void cmdscegliarg_Click();
    void cmduscita_Click();

    platform::Label *Labnome;
    platform::Label *lblsomma;
    platform::Label *LABsomma;
    platform::Label *lblconsci;
    platform::Label *LABconosci;
    platform::Label *lblcomprendi;
    platform::Label *LABcomprendi;
    platform::Label *lblapplica;
    platform::Label *LABapplica;
    platform::Label *lblvaluta;
    platform::Label *LABvaluta;
    platform::CommandButton *cmdlista;
    platform::CommandButton *cmdscegliarg;
    platform::CommandButton *cmduscita;

protected:
    // Each time it is shown, the card reads the shared results afresh.
    void showEvent(QShowEvent *event) override;

private:
    void showResults();
};

} // namespace assessment
