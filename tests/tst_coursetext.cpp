// The wording of the lesson page bodies, read as the pupil reads them: no "E'"
// for "È", no "ed il" or "ed i", numbers under ten written in words, and one name
// for the agents that shape the relief. Titles and end messages are left alone:
// they are the program's own captions and keep their old spelling.

#include "testsupport.h"

#include "lessons/lessonlayouts.h"
#include "lessons/lessonpages.h"

#include <QRegularExpression>

using namespace testing;

namespace {

struct Rule
{
    const char *name;
    QRegularExpression pattern;
};

constexpr auto Options = QRegularExpression::UseUnicodePropertiesOption;
constexpr auto AnyCase = Options | QRegularExpression::CaseInsensitiveOption;

// What a page body must not hold.
//
// - "E'" (or "e'") standing as a word is the typewriter form of "È".
// - "ed" goes only before a word starting with "e": never "ed il", "ed i".
// - A number under ten is a single digit that is not part of a longer figure.
//   These stay in digits: figures of two or more digits ("100 milioni", "1800"),
//   grouped thousands ("800 000"), decimals ("2,5"), percentages and degrees
//   ("5%", "3 °C"), a day before its month ("3 maggio"), list markers ("1)") and
//   digits inside a formula ("CO2").
// - The agents are "agenti esogeni" throughout; "agenti esterni" is the other name.
const QList<Rule> &rules()
{
    static const QList<Rule> list{
        {"E' for È", QRegularExpression(R"((?<!\p{L})[Ee]['’](?!\p{L}))", Options)},
        {"ed il / ed i", QRegularExpression(R"((?<!\p{L})ed\s+(il|i)(?!\p{L}))", AnyCase)},
        {"digit under ten",
         QRegularExpression(R"((?<![\p{L}\d.,])\d(?!\d|[.,]\d|\s\d{3}|\s*[%°)]|\s+(gennaio|febbraio|marzo|aprile|maggio|giugno|luglio|agosto|settembre|ottobre|novembre|dicembre)(?!\p{L})))",
                            AnyCase)},
        {"agenti esterni", QRegularExpression(R"((?<!\p{L})agent[ei]\s+estern[oi](?!\p{L}))", AnyCase)},
    };
    return list;
}

// Every breach in one paragraph, as "rule: «matched words»".
QStringList breaches(const QString &paragraph)
{
    QStringList out;
    for (const Rule &rule : rules()) {
        auto it = rule.pattern.globalMatch(paragraph);
        while (it.hasNext()) {
            const auto m = it.next();
            const qsizetype from = qMax<qsizetype>(0, m.capturedStart() - 20);
            out << QStringLiteral("%1: «%2»").arg(rule.name, paragraph.mid(from, m.capturedEnd() - from + 20).trimmed());
        }
    }
    return out;
}

// The breaches in the bodies of every page but the end page.
QStringList bodyBreaches(const lessons::LessonPages &lesson)
{
    QStringList out;
    for (int p = 1; p < lesson.count(); ++p)
        for (const QString &paragraph : lesson.page(p).text.split(QChar(13)))
            for (const QString &b : breaches(paragraph))
                out << QStringLiteral("page %1, %2").arg(p).arg(b);
    return out;
}

} // namespace

class tst_coursetext : public QObject
{
    Q_OBJECT
private slots:
    void rulesCatchWhatTheyShould_data()
    {
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("rule"); // empty: the sentence is fine

        QTest::newRow("E' at a sentence start") << " E' così che i ghiacciai scavano." << "E' for È";
        QTest::newRow("typographic apostrophe") << "E’ finita." << "E' for È";
        QTest::newRow("È") << " È un estuario." << "";
        QTest::newRow("E as a conjunction") << " E tra altri 100 milioni di anni" << "";
        QTest::newRow("elision after e") << "delle rocce, dell'acqua e dell'aria" << "";
        QTest::newRow("Ed I upper case") << "LA PIOGGIA ED I FIUMI" << "ed il / ed i";
        QTest::newRow("ed before e") << "sollevamento ed erosione" << "";
        QTest::newRow("ed before a word in i") << "ed inoltre" << "";
        QTest::newRow("digit quantity") << "ci sono state 4 glaciazioni" << "digit under ten";
        QTest::newRow("digit ending the sentence") << "le azioni sono 3." << "digit under ten";
        QTest::newRow("hundreds of millions") << "100 milioni di anni fa" << "";
        QTest::newRow("percentage") << "circa il 10% delle terre, il 5% dei mari" << "";
        QTest::newRow("grouped thousands") << "negli ultimi 800 000 anni, 1 000 000 di anni" << "";
        QTest::newRow("decimal") << "alto 2,5 metri" << "";
        QTest::newRow("degrees") << "sotto i 4 °C" << "";
        QTest::newRow("day of a month") << "il 3 maggio 1980" << "";
        QTest::newRow("list marker") << "1) la velocità" << "";
        QTest::newRow("formula") << "la CO2 dell'aria" << "";
        QTest::newRow("agenti esterni") << "uno degli agenti esterni più importanti" << "agenti esterni";
        QTest::newRow("outer side") << "la sponda esterna e lo strato più esterno" << "";
    }
    void rulesCatchWhatTheyShould()
    {
        QFETCH(QString, sentence);
        QFETCH(QString, rule);
        const QStringList found = breaches(sentence);
        if (rule.isEmpty()) {
            QVERIFY2(found.isEmpty(), qPrintable(found.join("; ")));
        } else {
            QCOMPARE(found.size(), 1);
            QVERIFY2(found.first().startsWith(rule + ":"), qPrintable(found.first()));
        }
    }

    // Titles and end messages keep their spelling; only bodies are read.
    void onlyBodiesAreRead()
    {
        QString error;
        const auto lesson = lessons::parseLessonPages(
            "caption: L'ARIA ED IL CALORE\n\n"
            "page 1\ntitle: \"      LA PIOGGIA ED I FIUMI.\"\npicture: a.jpg\ntext:\n È una valle.\n\n"
            "page 2\ntitle: \"   E' FINE\"\npicture: b.jpg\ntext:\n Le azioni sono 3.\n E' finita ed il vento tace.\n\n"
            "page 3\ntitle: \"             FINE\"\nend: \"             IL SECONDO ARGOMENTO E' FINITO\"\n",
            &error);
        QVERIFY2(lesson, qPrintable(error));
        const QStringList found = bodyBreaches(*lesson);
        QCOMPARE(found.size(), 3);
        for (const QString &b : found)
            QVERIFY2(b.startsWith("page 2, "), qPrintable(b));
    }

    void pageBodies_data()
    {
        QTest::addColumn<QString>("window");
        for (const auto &layout : lessons::lessonLayouts())
            QTest::newRow(qPrintable(layout.window())) << layout.window();
    }
    void pageBodies()
    {
        QFETCH(QString, window);
        const QStringList found = bodyBreaches(lessons::lessonPages(window));
        QVERIFY2(found.isEmpty(), qPrintable("\n" + found.join("\n")));
    }
};

QTEST_MAIN(tst_coursetext)
#include "tst_coursetext.moc"
