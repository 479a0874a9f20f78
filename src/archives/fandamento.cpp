#include "fandamento.h"

#include "common/granite.h"
#include "common/labeltopics.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "platform/csvfile.h"
#include "platform/dialogs.h"
#include "platform/ondemand.h"
#include "platform/printer.h"
#include "platform/runtime.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QPainter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace archives {

using platform::CommandButton;
using platform::Design;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

const Design Titolo{QStringLiteral("lblTITOLO"), QStringLiteral("ANDAMENTO DELLA CLASSE"), {600, 120, 10800, 420}};
const Design Dal{QStringLiteral("lblDAL"), QStringLiteral("dal"), {600, 690, 420, 285}};
const platform::TwRect DalBox{1020, 630, 1560, 375};
const Design Al{QStringLiteral("lblAL"), QStringLiteral("al"), {2700, 690, 300, 285}};
const platform::TwRect AlBox{3000, 630, 1560, 375};
const Design Alunno{QStringLiteral("lblNOME"), QStringLiteral("alunno:"), {4740, 690, 780, 285}};
const Design AlunnoBox{QStringLiteral("txtALUNNO"), {}, {5520, 630, 3360, 375}};
const Design Primo{QStringLiteral("chkPRIMO"), QStringLiteral("solo il primo tentativo"), {9060, 630, 2340, 375}};
const platform::TwRect Schede{600, 1140, 10800, 6540};
const Design Aggiorna{QStringLiteral("cmdAGGIORNA"), QStringLiteral("aggiorna"), {600, 7860, 2040, 495}};
const Design Stampa{QStringLiteral("cmdSTAMPA"), QStringLiteral("stampa"), {2760, 7860, 2040, 495}};
const Design Esporta{QStringLiteral("cmdESPORTA"), QStringLiteral("esporta (CSV)"), {4920, 7860, 2040, 495}};
const Design Menu{QStringLiteral("cmdMENU"), QStringLiteral("Menù principale"), {7080, 7860, 2040, 495}};
const Design Uscita{QStringLiteral("cmduscita"), QStringLiteral("Esco dal programma"), {9240, 7860, 2160, 495}};

const QColor HeadBack(255, 224, 192);
const QColor ButtonBack(255, 192, 128);
constexpr int DefaultDays = 30;
constexpr int PupilMissed = 10;
constexpr int PrintedItems = 40;

const QStringList Grades{QStringLiteral("MOLTO INSUFF."), QStringLiteral("NON SUFFICIENTE"),
                         QStringLiteral("SUFFICIENTE"),   QStringLiteral("BUONO"),
                         QStringLiteral("DISTINTO"),      QStringLiteral("OTTIMO")};
const QString Summative = QStringLiteral("sommativo");
const QString PicturePrefix = QStringLiteral("immagine");

// The summative pages hold five statements of knowledge, three of
// comprehension and two of application, in this order.
QString skill(int numero)
{
    return numero <= 5 ? QStringLiteral("conoscere") : numero <= 8 ? QStringLiteral("comprendere")
                                                                    : QStringLiteral("applicare");
}

QTableWidget *table(QWidget *parent, const QString &name, const QStringList &headings)
{
    auto *t = new QTableWidget(0, int(headings.size()), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headings);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->setVisible(false);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

void setRow(QTableWidget *t, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c) {
        auto *item = new QTableWidgetItem(cells[c]);
        item->setToolTip(cells[c]);
        t->setItem(row, c, item);
    }
}

// A chart's view; where the charts cannot be loaded, a line that says why (the
// tables beside it hold the same numbers).
QWidget *chartView(QWidget *parent, const QString &name, const QString &description)
{
    QString why;
    if (const platform::ondemand::Functions *module = platform::ondemand::functions(&why))
        return module->chartView(parent, name, description);
    auto *missing = new platform::Label(parent, name, QStringLiteral("Il grafico non si può mostrare: ") + why,
                                        {0, 0, 0, 0});
    missing->setWordWrap(true);
    missing->setAlignment(Qt::AlignCenter);
    missing->setAccessibleName(description);
    return missing;
}

bool isChart(QWidget *view) { return !qobject_cast<platform::Label *>(view); }

// The categories' names grow with the design, like every other text.
void drawBars(QWidget *view, platform::ondemand::Bars bars)
{
    bars.categoryPoints *= platform::scale();
    if (isChart(view))
        platform::ondemand::functions()->drawBars(view, bars);
}

QString percent(double share) { return QLocale().toString(100 * share, 'f', 0) + QStringLiteral(" %"); }

// A chart drawn at a size fit for paper; none where the charts cannot be loaded.
QImage chartPicture(QWidget *view)
{
    return isChart(view) ? platform::ondemand::functions()->chartPicture(view) : QImage();
}

} // namespace

FAndamento::FAndamento() : Form(windows::FAndamento)
{
    setCaption(QStringLiteral("andamento della classe"));
    setPicture(common::graniteBackground());

    auto *title = new platform::Label(this, Titolo);
    title->setFont(platform::designFont(platform::SansSerif, 12, true));
    title->setAlignment(Qt::AlignCenter);
    platform::setBackColor(title, HeadBack);
    for (const Design *d : {&Dal, &Al, &Alunno}) {
        auto *l = new platform::Label(this, *d);
        l->setTransparent(true);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    auto dateBox = [this](const QString &name, const platform::TwRect &rect, const QString &spoken) {
        auto *d = new QDateEdit(this);
        d->setObjectName(name);
        d->setAccessibleName(spoken);
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
        platform::place(d, rect);
        connect(d, &QDateEdit::dateChanged, this, &FAndamento::cmdAGGIORNA_Click);
        return d;
    };
    dtDAL = dateBox(QStringLiteral("dtDAL"), DalBox, QStringLiteral("dal giorno"));
    dtAL = dateBox(QStringLiteral("dtAL"), AlBox, QStringLiteral("al giorno"));
    txtALUNNO = new platform::TextBox(this, AlunnoBox);
    txtALUNNO->setAccessibleName(QStringLiteral("alunno: cognome e nome, vuoto per tutta la classe"));
    txtALUNNO->setPlaceholderText(QStringLiteral("tutta la classe"));
    connect(txtALUNNO, &QLineEdit::returnPressed, this, &FAndamento::cmdAGGIORNA_Click);
    chkPRIMO = new platform::CheckBox(this, Primo);
    connect(chkPRIMO, &platform::CheckBox::Click, this, &FAndamento::cmdAGGIORNA_Click);

    schede = new QTabWidget(this);
    schede->setObjectName(QStringLiteral("schede"));
    platform::place(schede, Schede);

    tabDOMANDE = new QWidget;
    tabDOMANDE->setObjectName(QStringLiteral("tabDOMANDE"));
    auto *domande = new QVBoxLayout(tabDOMANDE);
    tabellaDOMANDE = table(tabDOMANDE, QStringLiteral("tabellaDOMANDE"),
                           {QStringLiteral("prova"), QStringLiteral("affermazione o casella"), QStringLiteral("abilità"),
                            QStringLiteral("risposte"), QStringLiteral("sbagliate")});
    tabellaDOMANDE->setAccessibleName(QStringLiteral("Domande più sbagliate"));
    connect(tabellaDOMANDE, &QTableWidget::itemSelectionChanged, this, &FAndamento::tabellaDOMANDE_Click);
    lblRIPARTIZIONE = new platform::Label(tabDOMANDE, QStringLiteral("lblRIPARTIZIONE"), {}, {0, 0, 0, 0});
    lblRIPARTIZIONE->setWordWrap(true);
    domande->addWidget(tabellaDOMANDE, 1);
    domande->addWidget(lblRIPARTIZIONE);
    schede->addTab(tabDOMANDE, QStringLiteral("Domande più sbagliate"));

    graficoVOTI = new QWidget;
    graficoVOTI->setObjectName(QStringLiteral("graficoVOTI"));
    auto *voti = new QGridLayout(graficoVOTI);
    chartVOTI = chartView(graficoVOTI, QStringLiteral("chartVOTI"), QStringLiteral("Grafico dei voti del test sommativo"));
    chartPUNTEGGI = chartView(graficoVOTI, QStringLiteral("chartPUNTEGGI"),
                              QStringLiteral("Grafico dei punteggi dei questionari per argomento"));
    tabellaVOTI = table(graficoVOTI, QStringLiteral("tabellaVOTI"), {QStringLiteral("voto"), QStringLiteral("test")});
    tabellaVOTI->setAccessibleName(QStringLiteral("Voti del test sommativo"));
    QStringList scoreHeadings{QStringLiteral("argomento")};
    for (int s = 0; s <= 10; ++s)
        scoreHeadings << QString::number(s);
    tabellaPUNTEGGI = table(graficoVOTI, QStringLiteral("tabellaPUNTEGGI"), scoreHeadings);
    tabellaPUNTEGGI->setAccessibleName(QStringLiteral("Punteggi dei questionari: quante serie per punteggio"));
    voti->addWidget(chartVOTI, 0, 0);
    voti->addWidget(chartPUNTEGGI, 0, 1);
    voti->addWidget(tabellaVOTI, 1, 0);
    voti->addWidget(tabellaPUNTEGGI, 1, 1);
    voti->setRowStretch(0, 3);
    voti->setRowStretch(1, 2);
    schede->addTab(graficoVOTI, QStringLiteral("Voti"));

    graficoALUNNO = new QWidget;
    graficoALUNNO->setObjectName(QStringLiteral("graficoALUNNO"));
    auto *alunno = new QGridLayout(graficoALUNNO);
    lblALUNNO = new platform::Label(graficoALUNNO, QStringLiteral("lblALUNNO"), {}, {0, 0, 0, 0});
    chartALUNNO = chartView(graficoALUNNO, QStringLiteral("chartALUNNO"), QStringLiteral("Grafico dei risultati dell'alunno nel tempo"));
    tabellaALUNNO = table(graficoALUNNO, QStringLiteral("tabellaALUNNO"),
                          {QStringLiteral("giorno"), QStringLiteral("prova"), QStringLiteral("risultato")});
    tabellaALUNNO->setAccessibleName(QStringLiteral("Risultati dell'alunno"));
    tabellaSBAGLIATE = table(graficoALUNNO, QStringLiteral("tabellaSBAGLIATE"),
                             {QStringLiteral("affermazione o casella"), QStringLiteral("sbagliate")});
    tabellaSBAGLIATE->setAccessibleName(QStringLiteral("Le domande che l'alunno sbaglia di più"));
    alunno->addWidget(lblALUNNO, 0, 0, 1, 2);
    alunno->addWidget(chartALUNNO, 1, 0);
    alunno->addWidget(tabellaSBAGLIATE, 1, 1);
    alunno->addWidget(tabellaALUNNO, 2, 0, 1, 2);
    alunno->setRowStretch(1, 3);
    alunno->setRowStretch(2, 2);
    schede->addTab(graficoALUNNO, QStringLiteral("Un alunno"));

    cmdAGGIORNA = new CommandButton(this, Aggiorna);
    cmdSTAMPA = new CommandButton(this, Stampa);
    cmdESPORTA = new CommandButton(this, Esporta);
    cmdMENU = new CommandButton(this, Menu);
    cmduscita = new CommandButton(this, Uscita);
    for (auto *b : {cmdAGGIORNA, cmdSTAMPA, cmdESPORTA, cmdMENU, cmduscita})
        platform::setBackColor(b, ButtonBack);
    connect(cmdAGGIORNA, &CommandButton::Click, this, &FAndamento::cmdAGGIORNA_Click);
    connect(cmdSTAMPA, &CommandButton::Click, this, &FAndamento::cmdSTAMPA_Click);
    connect(cmdESPORTA, &CommandButton::Click, this, &FAndamento::cmdESPORTA_Click);
    connect(cmdMENU, &CommandButton::Click, this, &FAndamento::cmdMENU_Click);
    connect(cmduscita, &CommandButton::Click, this, &FAndamento::cmduscita_Click);
    setEscapeControl(cmdMENU);
    offerAction(QStringLiteral("Esporta ogni risposta per un foglio di calcolo (CSV)..."),
                QKeySequence(Qt::CTRL | Qt::Key_E), [this] { cmdESPORTA_Click(); });
    schede->setFocus();
}

void FAndamento::Form_Load()
{
    fillScreen();
    M::passwordinsegnante();
    caricatesti();
    const QSignalBlocker a(dtDAL), b(dtAL);
    dtAL->setDate(QDate::currentDate());
    dtDAL->setDate(QDate::currentDate().addDays(-DefaultDays));
    cmdAGGIORNA_Click();
}

void FAndamento::caricatesti()
{
    // The statements as the question tables hold them, to name what was answered.
    QStringList tables{Summative};
    for (const windows::Topic &t : windows::Topics)
        tables << windows::questionTable(t);
    for (const QString &name : std::as_const(tables)) {
        auto rs = M::db->openRecordset(name);
        if (!rs)
            continue;
        for (rs.value()->moveTo(0); !rs.value()->eof(); (void)rs.value()->moveNext()) {
            const QString title = rs.value()->field(QStringLiteral("argomento")).value().toString();
            QStringList texts;
            for (int k = 1; k <= 10; ++k)
                texts << rs.value()->field(k + 1).value().toString();
            statements_.insert(name + QLatin1Char('|') + title, texts);
            if (name != Summative)
                topicOfTitle_.insert(title, name.mid(7).toInt());
        }
    }
}

storage::ProgressFilter FAndamento::filter() const
{
    return {dtDAL->date(), dtAL->date(), txtALUNNO->text().trimmed(), chkPRIMO->isChecked()};
}

QString FAndamento::testo(const QString &prova, const QString &insieme, int numero) const
{
    if (prova.startsWith(PicturePrefix)) {
        const common::LabelTopic *t = common::labelTopic(prova.mid(PicturePrefix.size()).toInt() + windows::TopicCodeOffset);
        if (!t || numero < 1 || numero > common::DropBoxCount)
            return {};
        const int term = t->attesi[numero - 1];
        return QStringLiteral("%1 (%2): %3")
            .arg(QString::fromUtf8(common::DropBoxes[numero - 1].where), insieme.trimmed(),
                 term > 0 && term <= t->terms.size() ? t->terms[term - 1].trimmed() : QString());
    }
    return statements_.value(prova + QLatin1Char('|') + insieme).value(numero - 1);
}

void FAndamento::fillItems(QTableWidget *t, const QList<storage::AnsweredItem> &items, int limit)
{
    const int rows = int(std::min<qsizetype>(items.size(), limit));
    t->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const storage::AnsweredItem &i = items[r];
        if (t == tabellaDOMANDE)
            setRow(t, r, {i.prova, testo(i.prova, i.insieme, i.numero), i.prova == Summative ? skill(i.numero) : QString(),
                          QString::number(i.answers), percent(i.wrongShare())});
        else
            setRow(t, r, {testo(i.prova, i.insieme, i.numero), percent(i.wrongShare())});
    }
    t->resizeColumnsToContents();
}

void FAndamento::cmdAGGIORNA_Click()
{
    if (!M::db)
        return;
    storage::ClassProgress progress(*M::db);
    const storage::ProgressFilter f = filter();
    auto items = progress.answered(f);
    auto grades = progress.grades(f);
    auto scores = progress.scores(f);
    if (!items || !grades || !scores) {
        platform::msgBox(!items ? items.error() : !grades ? grades.error() : scores.error());
        return;
    }
    items_ = items.take();
    fillItems(tabellaDOMANDE, items_, int(items_.size()));
    lblRIPARTIZIONE->setCaption(items_.isEmpty() ? QStringLiteral("Nessuna risposta in questo periodo.") : QString());
    showGrades(grades.value(), scores.value());
    if (f.pupil.isEmpty()) {
        showPupil({}, {});
        lblALUNNO->setCaption(QStringLiteral("Scrivi il cognome e il nome di un alunno per vederne l'andamento."));
        return;
    }
    auto results = progress.pupil(f);
    showPupil(results ? results.value() : QList<storage::PupilResult>(), items_);
    lblALUNNO->setCaption(results && !results.value().isEmpty()
                              ? QStringLiteral("Andamento di %1").arg(f.pupil)
                              : QStringLiteral("Nessun risultato di \"%1\" in questo periodo.").arg(f.pupil));
}

void FAndamento::showGrades(const QList<storage::Count> &grades, const QList<storage::Count> &scores)
{
    QList<int> perGrade;
    tabellaVOTI->setRowCount(int(Grades.size()));
    for (int g = 0; g < Grades.size(); ++g) {
        int n = 0;
        for (const storage::Count &c : grades)
            if (c.what == Grades[g])
                n = c.count;
        perGrade << n;
        setRow(tabellaVOTI, g, {Grades[g], QString::number(n)});
    }
    // Bars across: the grade words stand whole beside them.
    drawBars(chartVOTI, {QStringLiteral("Voti del test sommativo"), Grades,
                         {{QStringLiteral("test sommativi"), perGrade}}, true, false});

    // Each topic's sets by score: one bar per topic at each score.
    QMap<int, std::array<int, 11>> byTopic;
    for (const storage::Count &c : scores) {
        const int topic = topicOfTitle_.value(c.what.section(QLatin1Char('|'), 0, 0));
        const int score = c.what.section(QLatin1Char('|'), 1).toInt();
        if (topic > 0 && score >= 0 && score <= 10)
            byTopic[topic][score] += c.count;
    }
    platform::ondemand::Bars byScore{QStringLiteral("Questionari: quante serie per punteggio"), {}, {}, false, true};
    for (int s = 0; s <= 10; ++s)
        byScore.categories << QString::number(s);
    tabellaPUNTEGGI->setRowCount(int(byTopic.size()));
    int row = 0;
    for (auto it = byTopic.cbegin(); it != byTopic.cend(); ++it, ++row) {
        QStringList cells{QString::number(it.key())};
        for (int n : it.value())
            cells << QString::number(n);
        byScore.sets.append({QStringLiteral("argomento %1").arg(it.key()), QList<int>(it.value().begin(), it.value().end())});
        setRow(tabellaPUNTEGGI, row, cells);
    }
    drawBars(chartPUNTEGGI, byScore);
    tabellaVOTI->resizeColumnsToContents();
    tabellaPUNTEGGI->resizeColumnsToContents();
}

void FAndamento::showPupil(const QList<storage::PupilResult> &results, const QList<storage::AnsweredItem> &missed)
{
    platform::ondemand::Lines lines{QStringLiteral("Risultati nel tempo (%)"), {}, {}, {}};
    tabellaALUNNO->setRowCount(int(results.size()));
    for (int r = 0; r < results.size(); ++r) {
        const storage::PupilResult &p = results[r];
        const int topic = topicOfTitle_.value(p.what);
        const QString line = p.what == Summative ? QStringLiteral("test sommativo")
                                                 : QStringLiteral("argomento %1").arg(topic);
        auto it = std::find_if(lines.lines.begin(), lines.lines.end(), [&](const auto &l) { return l.first == line; });
        if (it == lines.lines.end())
            it = lines.lines.insert(lines.lines.end(), {line, {}});
        it->second.append({double(p.day.startOfDay().toMSecsSinceEpoch()), double(p.percent)});
        setRow(tabellaALUNNO, r, {p.day.toString(QStringLiteral("dd/MM/yyyy")), p.what, percent(p.percent / 100)});
    }
    if (!results.isEmpty()) {
        lines.from = results.first().day.startOfDay();
        lines.to = results.last().day.addDays(1).startOfDay();
    }
    std::sort(lines.lines.begin(), lines.lines.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    if (isChart(chartALUNNO))
        platform::ondemand::functions()->drawLines(chartALUNNO, lines);
    QList<storage::AnsweredItem> wrong;
    for (const storage::AnsweredItem &i : missed)
        if (i.wrong > 0)
            wrong << i;
    fillItems(tabellaSBAGLIATE, wrong, PupilMissed);
    tabellaALUNNO->resizeColumnsToContents();
}

void FAndamento::tabellaDOMANDE_Click()
{
    const int row = tabellaDOMANDE->currentRow();
    if (row < 0 || row >= items_.size())
        return;
    const storage::AnsweredItem &i = items_[row];
    if (!i.prova.startsWith(PicturePrefix)) {
        lblRIPARTIZIONE->setCaption(QStringLiteral("Risposte: vero %1, falso %2 (su %3). %4")
                                        .arg(i.saidTrue)
                                        .arg(i.answers - i.saidTrue)
                                        .arg(i.answers)
                                        .arg(testo(i.prova, i.insieme, i.numero)));
        return;
    }
    auto split = storage::ClassProgress(*M::db).split(filter(), i.prova, i.insieme, i.numero);
    const common::LabelTopic *t =
        common::labelTopic(i.prova.mid(PicturePrefix.size()).toInt() + windows::TopicCodeOffset);
    QStringList parts;
    for (const storage::Count &c : split ? split.value() : QList<storage::Count>()) {
        const int n = c.what.toInt();
        parts << QStringLiteral("%1: %2").arg(n == 0 || !t || n > t->terms.size()
                                                  ? QStringLiteral("nessun numero")
                                                  : QStringLiteral("%1 (%2)").arg(n).arg(t->terms[n - 1].trimmed()),
                                              QString::number(c.count));
    }
    lblRIPARTIZIONE->setCaption(QStringLiteral("Numeri messi nella casella: ") + parts.join(QStringLiteral("; ")));
}

void FAndamento::cmdSTAMPA_Click()
{
    const storage::ProgressFilter f = filter();
    platform::PrintJob job;
    job.text(QStringLiteral("ANDAMENTO DELLA CLASSE dal %1 al %2%3")
                 .arg(f.from.toString(QStringLiteral("dd/MM/yyyy")), f.to.toString(QStringLiteral("dd/MM/yyyy")),
                      f.pupil.isEmpty() ? QString() : QStringLiteral(" - ") + f.pupil));
    job.endLine();
    job.markHeading();
    job.endLine();
    job.text(QStringLiteral("Domande più sbagliate (risposte, sbagliate)"));
    job.endLine();
    for (int r = 0; r < std::min<qsizetype>(items_.size(), PrintedItems); ++r) {
        const storage::AnsweredItem &i = items_[r];
        job.tab(1);
        job.text(QStringLiteral("%1 %2").arg(i.answers, 4).arg(percent(i.wrongShare()), 6));
        job.tab(14);
        job.text(QStringLiteral("%1: %2").arg(i.prova, testo(i.prova, i.insieme, i.numero)).left(66));
        job.endLine();
    }
    for (QWidget *chart : {chartVOTI, chartPUNTEGGI, f.pupil.isEmpty() ? nullptr : chartALUNNO})
        if (const QImage picture = chart ? chartPicture(chart) : QImage(); !picture.isNull())
            job.picture(picture);
    platform::printOrSave(job, QStringLiteral("andamento della classe %1.pdf")
                                   .arg(QDate::currentDate().toString(Qt::ISODate)));
}

void FAndamento::cmdESPORTA_Click()
{
    auto rows = storage::ClassProgress(*M::db).answers(filter());
    if (!rows) {
        platform::msgBox(rows.error());
        return;
    }
    const QString file = platform::saveFileBox(
        QStringLiteral("Esporta le risposte"),
        QStringLiteral("risposte %1.csv").arg(QDate::currentDate().toString(Qt::ISODate)),
        QStringLiteral("Foglio di calcolo CSV (*.csv)"));
    if (file.isEmpty())
        return;
    QList<QStringList> table;
    for (const storage::AnswerRow &r : rows.value())
        table << QStringList{r.name,
                             r.prova,
                             r.insieme,
                             QString::number(r.numero),
                             testo(r.prova, r.insieme, r.numero),
                             QString::number(r.risposta),
                             QString::number(r.giusta),
                             r.day.toString(QStringLiteral("dd/MM/yyyy"))};
    QString error;
    if (!platform::writeCsv(file,
                            {storage::Database::NameColumn, QStringLiteral("prova"), QStringLiteral("insieme"),
                             QStringLiteral("numero"), QStringLiteral("affermazione o casella"),
                             QStringLiteral("risposta"), QStringLiteral("giusta"), QStringLiteral("data")},
                            table, &error))
        platform::msgBox(QStringLiteral("Le risposte non sono state esportate: %1").arg(error));
    else
        platform::msgBox(QStringLiteral("Le risposte sono state esportate nel file %1.").arg(file));
}

void FAndamento::cmdMENU_Click()
{
    forms::load(windows::Fscelte)->setVisible(true);
    forms::unload(windows::FAndamento);
}

void FAndamento::cmduscita_Click() { M::confermauscita(); }

} // namespace archives
