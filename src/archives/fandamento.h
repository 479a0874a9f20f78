#pragma once
// The teacher's view of how the class is doing: the statements answered wrong
// most, hardest first; the spread of the grades; one pupil's results over
// time. Every chart has a table beside it with the same numbers, for screen
// readers and exact figures. It prints (charts included) and exports every
// answer for a spreadsheet.

#include "platform/controls.h"
#include "platform/form.h"
#include "storage/andamento.h"

#include <QHash>

class QDateEdit;
class QTableWidget;
class QTabWidget;

namespace archives {

class FAndamento : public platform::Form
{
    Q_OBJECT
public:
    FAndamento();

    void Form_Load() override;
    void cmdAGGIORNA_Click();
    void cmdSTAMPA_Click();
    void cmdESPORTA_Click();
    void cmdMENU_Click();
    void cmduscita_Click();
    void tabellaDOMANDE_Click();

    QDateEdit *dtDAL;
    QDateEdit *dtAL;
    platform::TextBox *txtALUNNO;
    platform::CheckBox *chkPRIMO;
    QTabWidget *schede;
    QWidget *tabDOMANDE, *graficoVOTI, *graficoALUNNO;
    QTableWidget *tabellaDOMANDE, *tabellaVOTI, *tabellaPUNTEGGI, *tabellaALUNNO, *tabellaSBAGLIATE;
    QWidget *chartVOTI, *chartPUNTEGGI, *chartALUNNO; // charts, or why there are none
    platform::Label *lblRIPARTIZIONE;
    platform::Label *lblALUNNO;
    platform::CommandButton *cmdAGGIORNA, *cmdSTAMPA, *cmdESPORTA, *cmdMENU, *cmduscita;

private:
    storage::ProgressFilter filter() const;
    // The text of a statement or picture box, and the summative skill.
    QString testo(const QString &prova, const QString &insieme, int numero) const;
    void caricatesti();
    void fillItems(QTableWidget *table, const QList<storage::AnsweredItem> &items, int limit);
    void showGrades(const QList<storage::Count> &grades, const QList<storage::Count> &scores);
    void showPupil(const QList<storage::PupilResult> &results, const QList<storage::AnsweredItem> &missed);

    QList<storage::AnsweredItem> items_;
    QHash<QString, QStringList> statements_; // "table|title" -> the ten statements
    QHash<QString, int> topicOfTitle_;       // a set's title -> its topic
};

} // namespace archives
