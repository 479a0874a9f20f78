#pragma once
// What the tests share: a fresh working folder with its own pervaldoria (the
// staged pictures and a newly installed database), answers for modal boxes, and
// run-time errors turned into exceptions.

#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/form.h"
#include "platform/runtime.h"

#include <QApplication>
#include <array>
#include <QCheckBox>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace shell {
class Fscelte;
}
namespace assessment {
class FQuest;
}

namespace testing {

// The staged data folder of the build (pictures and database).
QString stagedDataDir();
QString sourceDir();

// Links every staged picture into `folder` and installs there valdoria.mdb
// built from the question bank in `bank` (no database when it is empty).
void installCourse(const QString &folder, const QString &bank);

// A working folder holding pervaldoria/: links to every staged picture and a fresh
// database installed from the question bank. It becomes the current directory
// for its lifetime.
class WorkFolder
{
public:
    enum Contents { Everything, NoDatabase, NoData };
    explicit WorkFolder(Contents contents = Everything);
    ~WorkFolder();
    QString path() const { return dir_.path(); }
    QString dataPath() const { return dir_.path() + "/pervaldoria"; }
    QString databaseFile() const { return dataPath() + "/valdoria.mdb"; }
    // Removes one picture from this folder's pervaldoria.
    void removePicture(const QString &name);

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Answers the next boxes in order, set before the click that opens them: a
// box with no answer left, an answer naming a button the box lacks, or an
// answer no box took, fails the test (checked when this goes).
class ModalAnswers : public platform::BoxScript
{
public:
    ~ModalAnswers() override;
    // Presses the box's button with this caption ("OK", "Annulla", "Sì", "No").
    void press(const QString &caption, std::function<void()> meanwhile = {})
    {
        answer({caption, {}, nullptr, std::move(meanwhile)});
    }
    // Types into an input box and confirms it (or cancels it with cancel = true).
    void type(const QString &text, bool cancel = false) { answer({cancel ? "Annulla" : "OK", text}); }
    // Saves where a file box asks; `proposed` gets the file the box offered.
    void saveAs(const QString &path, QString *proposed = nullptr) { answer({"Salva", path, proposed}); }
};

// Replaces the program's run-time error and end with testable ends.
class Trap
{
public:
    Trap();
    ~Trap();
    QList<int> endings; // statuses passed to endProgram
};

// Fails the test unless `action` raises a run-time error; returns its message.
QString expectFatal(const std::function<void()> &action);

template <class T = QWidget> T *control(QWidget *form, const QString &name)
{
    T *c = form->findChild<T *>(name);
    if (!c)
        qWarning("no control %s in %s", qPrintable(name), qPrintable(form->objectName()));
    return c;
}

// Clicks a control as the pupil does (the mouse, at its centre).
void click(QWidget *control);
// Clicks a tick box on its box, as the pupil does.
void tick(QCheckBox *box);

// The topic menu, loaded (which opens the database) and on show.
shell::Fscelte *openMenu();
// From the menu into the lesson of `topic` (1 to 6) and on to its questionnaire.
assessment::FQuest *openQuestionnaire(int topic);
// Ticks ten rows as `pattern` says per row: 'r' right and 'w' wrong, as the
// bank of `table` has them, '-' nothing; a one-letter pattern for every row.
void answerRows(const std::array<platform::TextBox *, 10> &texts, const std::array<platform::CheckBox *, 10> &trueBoxes,
                const std::array<platform::CheckBox *, 10> &falseBoxes, const QString &table, const QString &pattern);

// The shipped question bank: the sets of a table, and the answer (1 true, 0
// false) of a statement of that table as the bank gives it, or -1.
QList<QStringList> bankStatements(const QString &table);
int bankAnswer(const QString &table, const QString &statement);
QStringList bankTitles(const QString &table);
// Copies the shipped question bank's files into `folder`, to be tampered with.
void copyQuestionBank(const QString &folder);
// Runs `statements` on a database file through a connection of its own;
// returns the first value of the last one that gave a row.
QVariant sqlOnFile(const QString &file, const QStringList &statements);

// In a child process started by a test: every `ms` the message box on show,
// if any, is printed ("BOX:" and its title, then its text) and accepted; after
// ten seconds the child gives up with status 99.
void answerBoxesOnStdout(int ms);

// The main of a test program that, started with `flag` first, runs `child`
// instead: a child process its tests start, or a helper a script calls.
#define TEST_MAIN_WITH_CHILD(TestObject, flag, child) \
    int main(int argc, char **argv) \
    { \
        if (argc > 1 && qstrcmp(argv[1], flag) == 0) \
            return child(argc, argv); \
        QApplication app(argc, argv); \
        TestObject t; \
        return QTest::qExec(&t, argc, argv); \
    }

// Registers all windows once and resets the shared state and the window
// registry; run-time errors then unwind to the test as FatalError.
void freshProgram();

} // namespace testing
