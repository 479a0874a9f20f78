#pragma once
// The two archives as descriptions of one window: the table they show, their
// layout and captions, their columns, their print layout, and the few things
// in which the summative archive behaves otherwise than the questionnaire's.

#include "platform/design.h"

#include <QList>
#include <QString>

namespace archives {

struct ArchiveColumn
{
    QString field;       // the column of the results table
    platform::Design list; // its list box, Listsomm(i)
    QString heading;     // what a screen reader calls the list
    bool date = false;   // shown as dd/mm/yyyy
};

// One item of a printed line: go to column `tab` (0: stay), then write the
// fixed text, or the row's value of column `column` (-1: the text).
struct PrintItem
{
    int tab;
    QString text;
    int column = -1;
};

struct ArchiveDesign
{
    QString window;
    QString caption;
    QString table;
    platform::Design label1;
    QList<ArchiveColumn> columns;
    platform::Design selezione, tutto, continuo, stampa, elimina, menu, uscita;

    QList<PrintItem> printHeading; // ends its line
    QList<PrintItem> printRow;
    bool rowEndsLine;              // false: the next row's Tab(1) starts the next line
    QString pdfName;               // proposed when the listing is saved instead of printed

    // Whether each further screen of a long listing gives the name search back
    // (or only the end of the listing does).
    bool everyScreenEnablesSelection;
    // The name search button's caption after a deletion; empty: unchanged.
    QString selectionCaptionAfterDeletion;
    bool exitAsksFirst;
    // Whether going back to the menu also closes the questionnaire.
    bool menuClosesQuestionnaire;
};

const ArchiveDesign &questionnaireArchive(); // frmRISUL, on studenti
const ArchiveDesign &summativeArchive();     // FLIsomm, on studsomm

} // namespace archives
