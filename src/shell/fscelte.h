#pragma once
// The topic menu: the start-up window and the hub of the program.

#include "platform/controls.h"
#include "platform/form.h"

#include <array>

namespace shell {

class Fscelte : public platform::Form
{
    Q_OBJECT
public:
    Fscelte();

    void Form_Load() override;
    void Command1_Click(int Index);
    void sommativo_Click();
    void CMDarchquest_Click();
    void CMDarchsomm_Click();
    void cmduscita_Click();
    void CMDandamento_Click();
    void mostraattesa();

    std::array<platform::CommandButton *, 8> Command1{}; // indexes 1 to 7
    platform::CommandButton *sommativo;
    platform::CommandButton *CMDarchquest;
    platform::CommandButton *CMDarchsomm;
    platform::CommandButton *cmduscita;
    platform::CommandButton *CMDandamento;
    platform::Label *Label1;
    platform::Label *lblATTESA;
};

} // namespace shell
