#include "testsupport.h"

#include "storage/coursebank.h"
#include "platform/largepictures.h"
#include "platform/rnd.h"
#include "assessment/fquest.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "lessons/lessonwindow.h"
#include "shell/fscelte.h"
#include "app/startup.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include <cstdio>

namespace testing {

QString stagedDataDir() { return QStringLiteral(VALDORIA_STAGED_DATA); }
QString sourceDir() { return QStringLiteral(VALDORIA_SOURCE_DIR); }

void installCourse(const QString &folder, const QString &bank)
{
    const QDir staged(stagedDataDir());
    for (const QString &f : staged.entryList({"*.jpg"}, QDir::Files))
        QFile::link(staged.filePath(f), folder + "/" + f);
    QFile::link(staged.filePath(platform::LargePictureFolder), folder + "/" + platform::LargePictureFolder);
    if (bank.isEmpty())
        return;
    const storage::Status installed =
        storage::installCourseDatabase(folder + "/valdoria.mdb", sourceDir() + "/data/schema.sql", bank);
    if (!installed)
        qFatal("cannot install the course: %s", qPrintable(installed.error()));
}

WorkFolder::WorkFolder(Contents contents)
{
    previous_ = QDir::currentPath();
    if (contents != NoData) {
        QDir().mkpath(dataPath());
        installCourse(dataPath(), contents == Everything ? sourceDir() + "/data/questions" : QString());
    }
    QDir::setCurrent(path());
}

WorkFolder::~WorkFolder() { QDir::setCurrent(previous_); }

void WorkFolder::removePicture(const QString &name) { QFile::remove(dataPath() + "/" + name); }

ModalAnswers::~ModalAnswers()
{
    if (pending() > 0)
        QTest::qFail(qPrintable(QStringLiteral("%1 expected box(es) never came").arg(pending())), __FILE__, __LINE__);
    if (!faults.isEmpty())
        QTest::qFail(qPrintable(faults.join(QStringLiteral(" | "))), __FILE__, __LINE__);
}

Trap::Trap()
{
    platform::setFatalHandler([](const QString &what) { throw platform::FatalError{what}; });
    platform::setEndHandler([this](int status) { endings << status; });
}

Trap::~Trap()
{
    platform::setFatalHandler({});
    platform::setEndHandler({});
}

QString expectFatal(const std::function<void()> &action)
{
    try {
        action();
    } catch (const platform::FatalError &e) {
        return e.message;
    }
    QTest::qFail("a run-time error was expected", __FILE__, __LINE__);
    return {};
}

void click(QWidget *control)
{
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

void tick(QCheckBox *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

namespace {
QList<storage::QuestionSet> bank(const QString &table)
{
    const auto read = storage::readQuestionFile(sourceDir() + "/data/questions/" + table + ".txt");
    if (!read)
        qWarning("%s", qPrintable(read.error()));
    return read ? read.value() : QList<storage::QuestionSet>{};
}
} // namespace

QList<QStringList> bankStatements(const QString &table)
{
    QList<QStringList> out;
    for (const auto &set : bank(table))
        out << set.statements;
    return out;
}

int bankAnswer(const QString &table, const QString &statement)
{
    for (const auto &set : bank(table))
        for (int k = 0; k < set.statements.size(); ++k)
            if (set.statements[k] == statement)
                return set.answers[k];
    return -1;
}

QStringList bankTitles(const QString &table)
{
    QStringList out;
    for (const auto &set : bank(table))
        out << set.title;
    return out;
}

void copyQuestionBank(const QString &folder)
{
    for (const QString &f : QDir(sourceDir() + "/data/questions").entryList({"*.txt"}))
        QFile::copy(sourceDir() + "/data/questions/" + f, folder + "/" + f);
}

QVariant sqlOnFile(const QString &file, const QStringList &statements)
{
    QVariant v;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "sqlOnFile");
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        for (const QString &sql : statements)
            if (q.exec(sql) && q.next())
                v = q.value(0);
    }
    QSqlDatabase::removeDatabase("sqlOnFile");
    return v;
}

void answerBoxesOnStdout(int ms)
{
    auto *answer = new QTimer(qApp);
    QObject::connect(answer, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            std::printf("BOX:%s\n%s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
            std::fflush(stdout);
            box->accept();
        }
    });
    answer->start(ms);
    QTimer::singleShot(10000, [] { std::_Exit(99); });
}

shell::Fscelte *openMenu()
{
    auto *menu = platform::forms::get<shell::Fscelte>(windows::Fscelte);
    menu->show();
    return menu;
}

assessment::FQuest *openQuestionnaire(int topic)
{
    click(openMenu()->Command1[topic]);
    auto *lesson = platform::forms::get<lessons::LessonWindow>(windows::lessonWindowOfCode(topic + windows::TopicCodeOffset));
    click(lesson->cmdquest);
    auto *q = qobject_cast<assessment::FQuest *>(platform::forms::existing(windows::FQuest));
    if (!q || !q->isVisible())
        qWarning("the questionnaire is not on show");
    return q;
}

void answerRows(const std::array<platform::TextBox *, 10> &texts, const std::array<platform::CheckBox *, 10> &trueBoxes,
                const std::array<platform::CheckBox *, 10> &falseBoxes, const QString &table, const QString &pattern)
{
    for (int i = 0; i < 10; ++i) {
        const QChar c = pattern.size() == 1 ? pattern[0] : pattern[i];
        if (c == '-')
            continue;
        const int key = bankAnswer(table, texts[i]->text());
        if (key < 0) {
            QTest::qFail(qPrintable("not in the bank: " + texts[i]->text()), __FILE__, __LINE__);
            return;
        }
        tick((c == 'r') == (key == 1) ? trueBoxes[i] : falseBoxes[i]);
    }
}

void freshProgram()
{
    static bool registered = false;
    if (!registered) {
        platform::installFontSubstitutes();
        QApplication::setQuitOnLastWindowClosed(false);
        app::registerWindows();
        registered = true;
        // The shared database goes before the application does.
        qAddPostRoutine([] {
            platform::forms::unloadAll();
            Modvaldoria::reset();
        });
    }
    platform::forms::unloadAll();
    Modvaldoria::reset();
    platform::resetRandom();
    // A run-time error never opens its box in a test: it unwinds to the test,
    // which fails (or expects it), instead of hanging until the time limit.
    platform::setFatalHandler([](const QString &what) { throw platform::FatalError{what}; });
}

} // namespace testing
