#pragma once
// The teacher's view of a results table, in screens of 20 rows: the whole
// table or one pupil's rows, printed, and deleted after the access code. The
// questionnaire archive (frmRISUL) and the summative archive (FLIsomm) are this
// one window with two descriptions (archivedesigns.h).

#include "archivedesigns.h"

#include "platform/controls.h"
#include "storage/dao.h"
#include "platform/form.h"

#include <memory>

namespace archives {

class ArchiveWindow : public platform::Form
{
    Q_OBJECT
public:
    explicit ArchiveWindow(const ArchiveDesign &design);

    void Form_Load() override;
    void cmdtutto_Click();
    void cmdselezione_Click();
    void Cmdcontinuo_Click();
    void cmdstampa_Click();
    void cmdelimina_Click();
    void cmdcseltaarg_Click();
    void cmduscita_Click();
    // The listed rows to a file a spreadsheet opens (Ctrl+E, or the window's
    // context menu).
    void esporta();

    // Twelve when the whole archive is listed, 0 for one pupil's rows.
    static constexpr int WholeArchive = 12;
    static constexpr int RowsPerScreen = 20;
    int modoelenco() const { return modoelenco_; }
    int numrighe() const { return numrighe_; }
    int dacancellare() const { return dacancellare_; }

    platform::Label *Label1;
    QList<platform::ListBox *> Listsomm;
    platform::CommandButton *cmdselezione;
    platform::CommandButton *cmdtutto;
    platform::CommandButton *Cmdcontinuo;
    platform::CommandButton *cmdstampa;
    platform::CommandButton *cmdelimina;
    platform::CommandButton *cmdcseltaarg;
    platform::CommandButton *cmduscita;

private:
    // Reads the rows of the next screen from the listing into the row store.
    void caricadati();
    // Appends the next 20 rows of the row store to the list boxes (empty rows
    // past the end of the listing).
    void scrivilista();
    void clearLists();
    // The text of a column of the listing's current row: numbers in plain
    // decimal form, dates as dd/mm/yyyy, nothing for a missing value.
    QString cell(int column) const;
    // How many rows the listing holds, and one of them as the lists show it.
    int listedCount() const;
    QStringList rowAt(int i) const;
    // Every listed row as the lists show it, for printing.
    QList<QStringList> listedRows() const;
    // Forgets the listing: nothing to print or delete until the next one.
    void forgetListing();
    // The room's server: what this computer still holds back from it.
    void avvisiserver();

    const ArchiveDesign &design_;
    std::unique_ptr<storage::Recordset> rselenco;
    // The row store holds the screen being written; the listing itself stays in
    // the database and is read a screen at a time.
    QList<QStringList> store_;
    // What a deletion removed, so that the listing can still be printed after it.
    QList<QStringList> deleted_;
    bool listingDeleted_ = false;
    int modoelenco_ = 0;
    int posizione_ = 0;
    int numrighe_ = 0;
    int dacancellare_ = 0;
    int schermata_ = 0;
    int schermate_ = 0;
};

} // namespace archives
