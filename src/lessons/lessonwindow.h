#pragma once
// The page engine common to the seven lesson windows: a title, a text and a
// picture per page, forward and back one page at a time, start again, the
// animation of the one page that offers it, and the ways out.

#include "lessonlayouts.h"
#include "lessonpages.h"

#include "platform/controls.h"
#include "platform/form.h"
#include "platform/readaloud.h"

#include <array>

namespace lessons {

class LessonWindow : public platform::Form
{
    Q_OBJECT
public:
    explicit LessonWindow(const LessonLayout &layout);

    void Form_Load() override;
    void cmdAVANTI_Click();
    void Cmdindietro_Click();
    void Cmdrivedi_Click();
    void cmdquest_Click();
    void cmdscegli_Click();
    void cmduscita_Click();
    void cmdanimazione_Click();

    // Topic 1 names its click areas differently; the handlers are the same.
    void Labavanti_Click() { cmdAVANTI_Click(); }
    void Labindietro_Click() { Cmdindietro_Click(); }
    void labrivedi_Click() { Cmdrivedi_Click(); }
    void labquest_Click() { cmdquest_Click(); }
    void Labscegli_Click() { cmdscegli_Click(); }
    void Labesco_Click() { cmduscita_Click(); }

    int pagina() const { return pagina_; }
    const LessonPages &pages() const { return pages_; }
    const LessonLayout &layout() const { return layout_; }

    platform::Label *Labeltit;
    platform::PictureBox *Image1;
    platform::PictureBox *Image2;
    platform::Label *Label1;
    platform::Label *Label2 = nullptr; // only where the layout has the bar
    platform::Label *Label4 = nullptr; // only in the lesson without a questionnaire
    platform::CommandButton *cmdanimazione;
    platform::ClickArea *cmdAVANTI;
    platform::ClickArea *Cmdindietro;
    platform::ClickArea *Cmdrivedi;
    platform::ClickArea *cmdquest = nullptr;
    platform::ClickArea *cmdscegli;
    platform::ClickArea *cmduscita;
    platform::CommandButton *cmdLEGGI;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // What entering page `pagina_` sets, coming forward or going back.
    void enterPage(bool back);
    // Loads a page's picture and names it for a screen reader by what it shows.
    void showPicture(const QString &file);

    platform::ReadAloud *leggi_;
    const LessonLayout layout_;
    const LessonPages pages_; // a copy: the window never depends on where the page store keeps it
    int pagina_ = 1;
    std::array<QString, MaxPages + 1> titoli;
    std::array<QString, 51> testi;
};

} // namespace lessons
