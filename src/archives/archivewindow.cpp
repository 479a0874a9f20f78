#include "archivewindow.h"

#include "common/granite.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "platform/csvfile.h"
#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/runtime.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

#include <cmath>

namespace archives {

using platform::CommandButton;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

const QString AccessCode = QStringLiteral("lanterna");
const QString NamePrompt = QStringLiteral("scrivi cognome e nome");
const QString NameNotFound = QStringLiteral("ATTENZIONE, non hai scritto bene il nome");
const QString SearchAbandoned = QStringLiteral("ABBANDONO QUESTA RICERCA");
const QString CodePrompt = QStringLiteral("SE SEI AUTORIZZATO A CANCELLARE, scrivi il CODICE");
const QString CodeTitle = QStringLiteral("CODICE PER LA CANCELLAZIONE");
const QString WrongCode = QStringLiteral("Mi dispiace, o hai sbagliato a scrivere il codice, o non sei autorizzato a "
                                         "cancellare.");
const QString WholeArchiveQuestion = QStringLiteral("SEI PROPRIO SICURO DI VOLER ELIMINARE TUTTO L'ARCHIVIO?");
// A deletion works on the rows listed last: with none listed there is nothing
// to delete, and the teacher is told so rather than asked the code.
const QString NothingListed = QStringLiteral("Non c'è nessun elenco da eliminare: scegli prima i dati da mostrare.");

const QString NothingToExport = QStringLiteral("Non c'è nessun elenco da esportare: scegli prima i dati da mostrare.");

const QColor HeadBack(255, 224, 192);
constexpr int ListRowPixels = 15;

} // namespace

ArchiveWindow::ArchiveWindow(const ArchiveDesign &design) : Form(design.window), design_(design)
{
    setCaption(design_.caption);
    setPicture(common::graniteBackground());

    Label1 = new platform::Label(this, design_.label1);
    Label1->setWordWrap(false);
    platform::setBackColor(Label1, HeadBack);
    for (const ArchiveColumn &c : design_.columns) {
        auto *list = new platform::ListBox(this, c.list);
        list->setRowHeight(ListRowPixels);
        list->setAccessibleName(c.heading);
        Listsomm << list;
    }
    // The columns are one table: a row chosen in one is chosen in all.
    for (platform::ListBox *list : Listsomm)
        connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
            for (platform::ListBox *other : Listsomm)
                if (other->currentRow() != row)
                    other->setCurrentRow(row);
        });

    cmdselezione = new CommandButton(this, design_.selezione);
    cmdtutto = new CommandButton(this, design_.tutto);
    Cmdcontinuo = new CommandButton(this, design_.continuo);
    cmdstampa = new CommandButton(this, design_.stampa);
    cmdelimina = new CommandButton(this, design_.elimina);
    cmdcseltaarg = new CommandButton(this, design_.menu);
    cmduscita = new CommandButton(this, design_.uscita);
    connect(cmdselezione, &CommandButton::Click, this, &ArchiveWindow::cmdselezione_Click);
    connect(cmdtutto, &CommandButton::Click, this, &ArchiveWindow::cmdtutto_Click);
    connect(Cmdcontinuo, &CommandButton::Click, this, &ArchiveWindow::Cmdcontinuo_Click);
    connect(cmdstampa, &CommandButton::Click, this, &ArchiveWindow::cmdstampa_Click);
    connect(cmdelimina, &CommandButton::Click, this, &ArchiveWindow::cmdelimina_Click);
    connect(cmdcseltaarg, &CommandButton::Click, this, &ArchiveWindow::cmdcseltaarg_Click);
    connect(cmduscita, &CommandButton::Click, this, &ArchiveWindow::cmduscita_Click);
    setEscapeControl(cmdcseltaarg);
    offerAction(QStringLiteral("Esporta l'elenco per un foglio di calcolo (CSV)..."),
                QKeySequence(Qt::CTRL | Qt::Key_E), [this] { esporta(); });
    cmdtutto->setFocus();
}

void ArchiveWindow::Form_Load()
{
    fillScreen();
    Label1->setCaption(design_.label1.caption);
    Cmdcontinuo->setEnabled(false);
    cmdstampa->setEnabled(false);
    cmdelimina->setEnabled(false);
    posizione_ = schermata_ = schermate_ = 0;
    if (M::db->resultsOnServer() && M::passwordinsegnante())
        avvisiserver();
}

void ArchiveWindow::avvisiserver()
{
    QStringList said;
    if (const int waiting = M::db->pendingResults(); waiting > 0)
        said << (waiting == 1 ? QStringLiteral("Su questo computer 1 risultato non è ancora arrivato al server")
                              : QStringLiteral("Su questo computer %1 risultati non sono ancora arrivati al server")
                                    .arg(waiting))
                    + QStringLiteral(": gli elenchi li comprenderanno quando saranno inviati. Anche altri computer "
                                     "della classe possono avere risultati in attesa.");
    const QList<storage::SetAside> refused = M::db->setAsideResults();
    if (!refused.isEmpty()) {
        QStringList rows;
        for (const storage::SetAside &r : refused)
            rows << QStringLiteral("- %1 (%2, %3): %4")
                        .arg(r.name, r.table, QDateTime::fromString(r.when, Qt::ISODate).toString(QStringLiteral("dd/MM/yyyy")),
                             r.reason);
        said << QStringLiteral("Il server ha rifiutato questi risultati, che restano su questo computer:\n") +
                    rows.join(QLatin1Char('\n'));
    }
    if (!said.isEmpty())
        platform::msgBox(said.join(QStringLiteral("\n\n")));
}

// ------------------------------------------------------------------- rows

QString ArchiveWindow::cell(int column) const
{
    // A value that cannot be read is shown and printed as nothing: one bad row
    // never stops a listing.
    const ArchiveColumn &c = design_.columns[column];
    if (!rselenco->columns().contains(c.field, Qt::CaseInsensitive))
        return {};
    const storage::Result<QVariant> read = rselenco->field(c.field);
    const QVariant v = read ? read.value() : QVariant();
    if (v.isNull())
        return {};
    if (c.date) {
        const QDate d = QDate::fromString(v.toString().left(10), Qt::ISODate);
        return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : v.toString();
    }
    if (v.typeId() == QMetaType::Double && v.toDouble() == std::floor(v.toDouble()))
        return QString::number(qint64(v.toDouble()));
    return v.toString();
}

int ArchiveWindow::listedCount() const
{
    return rselenco && !listingDeleted_ ? std::min(dacancellare_, rselenco->recordCount()) : 0;
}

QStringList ArchiveWindow::rowAt(int i) const
{
    rselenco->moveTo(i);
    QStringList row;
    for (int c = 0; c < design_.columns.size(); ++c)
        row << cell(c);
    return row;
}

void ArchiveWindow::caricadati()
{
    store_.clear();
    const int listed = listedCount();
    for (int i = posizione_; i < posizione_ + RowsPerScreen; ++i)
        store_ << (i < listed ? rowAt(i) : QStringList(design_.columns.size(), QString()));
}

void ArchiveWindow::scrivilista()
{
    caricadati();
    for (int r = 0; r < RowsPerScreen; ++r) {
        ++posizione_;
        for (int c = 0; c < Listsomm.size(); ++c)
            Listsomm[c]->addRow(store_[r][c]);
    }
}

void ArchiveWindow::clearLists()
{
    for (platform::ListBox *list : Listsomm)
        list->clear();
}

QList<QStringList> ArchiveWindow::listedRows() const
{
    QList<QStringList> rows;
    for (int i = 0, listed = listedCount(); i < listed; ++i)
        rows << rowAt(i);
    return rows;
}

void ArchiveWindow::forgetListing()
{
    rselenco.reset();
    deleted_.clear();
    listingDeleted_ = false;
    dacancellare_ = 0;
    cmdstampa->setEnabled(false);
    cmdelimina->setEnabled(false);
}

// --------------------------------------------------------------- listings

void ArchiveWindow::cmdtutto_Click()
{
    posizione_ = numrighe_ = schermata_ = schermate_ = 0;
    cmdselezione->setEnabled(false);
    forgetListing();
    cmdstampa->setEnabled(true);
    cmdelimina->setEnabled(true);
    modoelenco_ = WholeArchive;
    clearLists();
    M::passwordinsegnante();
    rselenco = platform::must(M::db->openRecordset(design_.table));
    if (!rselenco->notice().isEmpty())
        platform::msgBox(rselenco->notice()); // the results server away: nothing to list now
    // One more than the rows: a table of 19 rows offers one more screen.
    numrighe_ = rselenco->recordCount() + 1;
    dacancellare_ = numrighe_ - 1;
    scrivilista();
    if (numrighe_ < RowsPerScreen) {
        cmdselezione->setEnabled(true);
        posizione_ = numrighe_ = schermata_ = schermate_ = 0;
    } else {
        schermate_ = numrighe_ / RowsPerScreen;
        cmdtutto->setEnabled(false);
        Cmdcontinuo->setEnabled(true);
        Cmdcontinuo->setFocus(); // the keyboard goes on to the next screen
    }
}

void ArchiveWindow::cmdselezione_Click()
{
    // A new search starts from the first screen and forgets the listing before
    // it: a search given up leaves nothing to print or delete behind the lists.
    modoelenco_ = 0;
    clearLists();
    forgetListing();
    posizione_ = schermata_ = schermate_ = 0;
    std::unique_ptr<storage::Recordset> found;
    for (;;) {
        // Names are stored without blanks around them, and searched so.
        const QString name = platform::inputBox(NamePrompt).trimmed();
        M::nomealunno = name;
        if (name.isEmpty())
            return;
        M::passwordinsegnante();
        found = platform::must(M::db->openPupilRows(design_.table, name));
        if (!found->notice().isEmpty()) {
            platform::msgBox(found->notice());
            return;
        }
        if (found->recordCount() >= 1)
            break;
        if (platform::msgBox(NameNotFound, platform::Buttons::OkCancel) == platform::Answer::Ok)
            continue;
        platform::msgBox(SearchAbandoned);
        return;
    }
    cmdstampa->setEnabled(true);
    cmdelimina->setEnabled(true);
    rselenco = std::move(found);
    numrighe_ = rselenco->recordCount();
    dacancellare_ = numrighe_;
    schermate_ = numrighe_ / RowsPerScreen;
    scrivilista();
    if (numrighe_ < RowsPerScreen) {
        posizione_ = numrighe_ = schermata_ = schermate_ = 0;
    } else {
        Cmdcontinuo->setEnabled(true);
        Cmdcontinuo->setFocus();
        cmdselezione->setEnabled(false);
        cmdtutto->setEnabled(false);
    }
}

void ArchiveWindow::Cmdcontinuo_Click()
{
    if (design_.everyScreenEnablesSelection)
        cmdselezione->setEnabled(true);
    clearLists();
    ++schermata_;
    if (schermata_ > schermate_) {
        posizione_ = numrighe_ = schermata_ = schermate_ = 0;
        cmdtutto->setEnabled(true);
        cmdselezione->setEnabled(true);
        cmdtutto->setFocus();
        Cmdcontinuo->setEnabled(false);
        return;
    }
    scrivilista();
}

// ------------------------------------------------------- printing, deleting

void ArchiveWindow::cmdstampa_Click()
{
    platform::PrintJob job;
    auto write = [&job](const PrintItem &item, const QStringList &row) {
        if (item.tab > 0)
            job.tab(item.tab);
        job.text(item.column < 0 ? item.text : row.value(item.column));
    };
    for (const PrintItem &item : design_.printHeading)
        write(item, {});
    job.endLine();
    job.markHeading();
    const QList<QStringList> rows = listingDeleted_ ? deleted_ : listedRows();
    for (const QStringList &row : rows) {
        for (const PrintItem &item : design_.printRow)
            write(item, row);
        if (design_.rowEndsLine)
            job.endLine();
    }
    platform::printOrSave(job, QStringLiteral("%1 %2.pdf").arg(design_.pdfName, QDate::currentDate().toString(Qt::ISODate)));
}

void ArchiveWindow::cmdelimina_Click()
{
    if (!rselenco || listingDeleted_ || rselenco->recordCount() == 0) {
        platform::msgBox(NothingListed);
        return;
    }
    const QString code = platform::inputBox(CodePrompt, CodeTitle);
    if (code.isEmpty())
        return;
    if (code != AccessCode) {
        platform::msgBox(WrongCode);
        return;
    }
    if (modoelenco_ == WholeArchive
        && platform::msgBox(WholeArchiveQuestion, platform::Buttons::YesNo, platform::AppTitle,
                            platform::Default::Harmless)
               != platform::Answer::Yes)
        return;
    // Every listed row goes, in one transaction; what went can still be printed.
    const QList<QStringList> going = listedRows();
    if (const storage::Status gone = rselenco->deleteAll(); !gone) {
        platform::msgBox(gone.error());
        return;
    }
    deleted_ = going;
    listingDeleted_ = true;
    clearLists();
    cmdselezione->setEnabled(true);
    if (!design_.selectionCaptionAfterDeletion.isEmpty())
        cmdselezione->setText(design_.selectionCaptionAfterDeletion);
}

void ArchiveWindow::esporta()
{
    if (!rselenco) {
        platform::msgBox(NothingToExport);
        return;
    }
    const QList<QStringList> rows = listingDeleted_ ? deleted_ : listedRows();
    const QString file = platform::saveFileBox(
        QStringLiteral("Esporta l'elenco"),
        QStringLiteral("%1 %2.csv").arg(design_.pdfName, QDate::currentDate().toString(Qt::ISODate)),
        QStringLiteral("Fogli di calcolo CSV (*.csv)"));
    if (file.isEmpty())
        return;
    QStringList headings;
    for (const ArchiveColumn &c : design_.columns)
        headings << c.heading;
    QString error;
    if (!platform::writeCsv(file, headings, rows, &error)) {
        platform::msgBox(QStringLiteral("L'elenco non è stato esportato: %1").arg(error));
        return;
    }
    platform::msgBox(QStringLiteral("L'elenco è stato esportato nel file\n%1").arg(QDir::toNativeSeparators(file)));
}

// ---------------------------------------------------------------- ways out

void ArchiveWindow::cmdcseltaarg_Click()
{
    forms::show(windows::Fscelte);
    if (design_.menuClosesQuestionnaire && forms::isLoaded(windows::FQuest))
        forms::unload(windows::FQuest);
    setVisible(false);
    forms::unload(design_.window);
}

void ArchiveWindow::cmduscita_Click()
{
    if (design_.exitAsksFirst)
        M::confermauscita();
    else
        platform::endProgram(0);
}

} // namespace archives
