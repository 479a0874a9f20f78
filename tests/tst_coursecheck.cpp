// The content checker's rules, each made to fire: the shipped course with one
// fault put in must give that rule's fault, and the shipped course none.

#include "course.h"

#include <QTest>
#include <functional>

using namespace coursecheck;

namespace {

Course shipped()
{
    Course c;
    QString error;
    if (!loadCourse(QStringLiteral(VALDORIA_SOURCE_DIR), &c, &error))
        qFatal("%s", qPrintable(error));
    return c;
}

Table &table(Course &c, const QString &name)
{
    for (Table &t : c.bank)
        if (t.name == name)
            return t;
    qFatal("no table %s", qPrintable(name));
}

Statement &statement(Course &c, const QString &name, int set, int k) { return table(c, name).sets[set].statements[k]; }

void setText(Course &c, const QString &name, const QString &text) { statement(c, name, 0, 0).text = text; }

Lesson &lesson(Course &c, int topic) { return c.lessons[topic - 1]; }

struct Case
{
    const char *name;
    const char *rule;
    std::function<void(Course &)> putFault;
    const char *expected;
};

const QList<Case> &cases()
{
    static const QList<Case> list{
        {"a topic table with three sets", "sets per table",
         [](Course &c) { table(c, "domande1").sets.resize(3); }, "domande1: 3 of at least 4 sets"},
        {"a set with seven true", "true statements per set",
         [](Course &c) {
             auto &st = table(c, "domande2").sets[0].statements;
             for (int k = 0; k < 7; ++k)
                 st[k].isTrue = true;
             for (int k = 7; k < 10; ++k)
                 st[k].isTrue = false;
         },
         "7 true statements"},
        {"two sets with one key", "key sequences",
         [](Course &c) { table(c, "sommativo").sets[5].statements = table(c, "domande5").sets[0].statements; },
         "has the key"},
        {"E' in a statement", "bank language",
         [](Course &c) { setText(c, "domande4", "Il gesso e' una roccia che si scioglie."); }, "\"E'\" instead of \"È\""},
        {"non and mai in a false statement", "bank language",
         [](Course &c) {
             setText(c, "domande3", "Il fiume non scava mai le sponde.");
             statement(c, "domande3", 0, 0).isTrue = false;
         },
         "a double negative"},
        {"a summative statement from a questionnaire", "statements once",
         [](Course &c) { statement(c, "sommativo", 0, 0).text = statement(c, "domande4", 3, 8).text; },
         "repeats a questionnaire statement of domande4"},
        {"a page title that miscounts", "titles",
         [](Course &c) { table(c, "sommativo").sets[1].title = "TEST SOMMATIVO - PAGINA 3 DI 6"; }, "page 2 of 6"},
        {"absolute words always false", "absolute words",
         [](Course &c) {
             for (QuestionSet &s : table(c, "domande6").sets)
                 for (Statement &st : s.statements)
                     for (const char *word : {"sempre", "soltanto", "solo", "unic", "tutt", "mai", "nessun"})
                         if (st.text.contains(word, Qt::CaseInsensitive))
                             st.isTrue = false;
             auto &st = table(c, "domande6").sets[0].statements;
             const char *claims[] = {"Il mare lavora soltanto di notte.", "Le onde sono sempre alte.",
                                     "La marea non sale mai."};
             for (int k = 0; k < 3; ++k)
                 st[k] = {claims[k], false, st[k].line};
         },
         "fewer than a third"},
        {"ed il in a page body", "lesson language",
         [](Course &c) { lesson(c, 2).lines[1].text = " Il vento ed il mare."; }, "\"ed il\" or \"ed i\""},
        {"a term no lesson page teaches", "terms taught",
         [](Course &c) { c.labelling[4].terms[1].text = " Seracchi "; }, "\"Seracchi\" is taught on no page"},
        {"dolina and depressione carsica in one picture", "synonym terms",
         [](Course &c) { c.labelling[3].terms[0].text = " Depressione carsica "; }, "name the same feature"},
    };
    return list;
}

Faults run(const char *rule, const Course &c)
{
    for (const Rule &r : rules())
        if (QByteArray(r.name) == rule)
            return r.check(c);
    qFatal("no rule %s", rule);
}

} // namespace

class tst_coursecheck : public QObject
{
    Q_OBJECT
private slots:
    void shippedCourseIsClean()
    {
        QStringList found;
        for (const Fault &f : checkAll(shipped()))
            found << f.toString();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    void eachRuleFires_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << i;
    }
    void eachRuleFires()
    {
        QFETCH(int, index);
        const Case &k = cases()[index];
        Course c = shipped();
        k.putFault(c);
        const Faults faults = run(k.rule, c);
        QVERIFY2(!faults.isEmpty(), k.rule);
        QVERIFY2(faults.first().message.contains(k.expected), qPrintable(faults.first().toString()));
        QVERIFY2(faults.first().line > 0 || QByteArray(k.rule) == "absolute words", qPrintable(faults.first().toString()));
    }

    // Titles and end messages keep their spelling; only the bodies are read.
    void lessonTitlesAreNotRead()
    {
        const Lesson l = parseLesson(1, "a.txt",
                                     "caption: L'ARIA ED IL CALORE\n\npage 1\ntitle: \"   E' FINE ED IL VENTO\"\n"
                                     "picture: a.jpg\ntext:\n Le azioni sono 3.\n\npage 2\ntitle: \"  FINE\"\n"
                                     "end: \"  IL PRIMO ARGOMENTO E' FINITO\"\n");
        Course c;
        c.lessons << l;
        const Faults faults = lessonLanguage(c);
        QCOMPARE(faults.size(), 1);
        QCOMPARE(faults.first().line, 7);
    }
};

QTEST_GUILESS_MAIN(tst_coursecheck)
#include "tst_coursecheck.moc"
