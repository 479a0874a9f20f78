// The rules of the question bank, read from its files as the installer reads
// them: enough sets per table, four to six true statements per set, no answer
// key shared by two sets, the course's Italian (no "E'", no "ed il", no double
// negative in a false statement, small numbers in words), no statement asked
// twice, and titles that fit the archive and count the summative pages. Every
// rule is checked on the shipped bank and on banks with one fault put in.

#include "testsupport.h"

#include "storage/coursebank.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace testing;
using storage::QuestionSet;

namespace {

struct Table
{
    QString name; // the file's base name: domande1 .. domande7, sommativo
    QList<QuestionSet> sets;
};
using Bank = QList<Table>;

const QString Summative = QStringLiteral("sommativo");

// The archive prints a set's title in a column 23 characters wide.
constexpr int TitleColumn = 23;

int minimumSets(const QString &table)
{
    if (table == Summative)
        return 6;
    return table == QLatin1String("domande7") ? 2 : 4;
}

QStringList tableNames()
{
    QStringList names;
    for (int t = 1; t <= 7; ++t)
        names << QStringLiteral("domande%1").arg(t);
    return names << Summative;
}

Bank readBank(const QString &dir, QString *error)
{
    Bank bank;
    for (const QFileInfo &fi : QDir(dir).entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        const auto sets = storage::readQuestionFile(fi.filePath());
        if (!sets) {
            *error = sets.error();
            return {};
        }
        bank.append({fi.completeBaseName(), sets.value()});
    }
    return bank;
}

QString where(const Table &t, const QuestionSet &s) { return QStringLiteral("%1 \"%2\"").arg(t.name, s.title); }

QString keyOf(const QuestionSet &s)
{
    QString key;
    for (int a : s.answers)
        key += a == 1 ? QLatin1Char('V') : QLatin1Char('F');
    return key;
}

// Statements are the same when they differ only in case or in a final full stop.
QString normalized(const QString &s)
{
    QString n = s.trimmed().toLower();
    while (n.endsWith(QLatin1Char('.')))
        n.chop(1);
    return n.trimmed();
}

QRegularExpression words(const QString &pattern)
{
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption
                                           | QRegularExpression::UseUnicodePropertiesOption);
}

QStringList setsPerTable(const Bank &bank)
{
    QStringList faults;
    for (const QString &name : tableNames()) {
        qsizetype count = 0;
        for (const Table &t : bank)
            if (t.name == name)
                count = t.sets.size();
        if (count < minimumSets(name))
            faults << QStringLiteral("%1: %2 of at least %3 sets").arg(name).arg(count).arg(minimumSets(name));
    }
    return faults;
}

QStringList trueStatementsPerSet(const Bank &bank)
{
    QStringList faults;
    for (const Table &t : bank)
        for (const QuestionSet &s : t.sets) {
            const int trueOnes = int(s.answers.count(1));
            if (trueOnes < 4 || trueOnes > 6)
                faults << QStringLiteral("%1: %2 true statements, not four to six").arg(where(t, s)).arg(trueOnes);
        }
    return faults;
}

QStringList keySequences(const Bank &bank)
{
    QStringList faults;
    QHash<QString, QString> first;
    for (const Table &t : bank)
        for (const QuestionSet &s : t.sets) {
            const QString key = keyOf(s);
            if (first.contains(key))
                faults << QStringLiteral("%1 has the key %2 of %3").arg(where(t, s), key, first.value(key));
            else
                first.insert(key, where(t, s));
        }
    return faults;
}

QStringList language(const Bank &bank)
{
    static const QRegularExpression apostropheE = words(QStringLiteral("(?:^|[^\\p{L}'])E'(?!\\p{L})"));
    static const QRegularExpression edIl = words(QStringLiteral("\\bed\\s+il?\\b"));
    static const QRegularExpression negation = words(QStringLiteral("\\bnon\\b"));
    static const QRegularExpression secondNegation =
        words(QStringLiteral("\\b(?:mai|nessun|nessuno|nessuna|niente|nulla)\\b"));
    static const QRegularExpression smallFigure = words(QStringLiteral("\\b[0-9]\\b"));
    QStringList faults;
    auto wording = [&](const QString &at, const QString &text) {
        if (text.contains(apostropheE))
            faults << QStringLiteral("%1: \"E'\" instead of \"È\": %2").arg(at, text);
        if (text.contains(edIl))
            faults << QStringLiteral("%1: \"ed il\" or \"ed i\" instead of \"e il\", \"e i\": %2").arg(at, text);
    };
    for (const Table &t : bank)
        for (const QuestionSet &s : t.sets) {
            wording(t.name, s.title);
            for (int k = 0; k < s.statements.size(); ++k) {
                const QString &text = s.statements[k];
                wording(where(t, s), text);
                if (s.answers[k] == 0 && text.contains(negation) && text.contains(secondNegation))
                    faults << QStringLiteral("%1: a double negative in a false statement: %2").arg(where(t, s), text);
                if (text.contains(smallFigure))
                    faults << QStringLiteral("%1: a number under ten in figures: %2").arg(where(t, s), text);
                if (text.contains(QLatin1Char('%')))
                    faults << QStringLiteral("%1: a percentage to learn by heart: %2").arg(where(t, s), text);
            }
        }
    return faults;
}

QStringList statementsOnce(const Bank &bank)
{
    QStringList faults;
    struct Seen
    {
        QString table, at;
    };
    QHash<QString, Seen> first;
    // The questionnaires first, so that a summative statement is reported as the repeat.
    QList<const Table *> order;
    for (const Table &t : bank)
        if (t.name != Summative)
            order << &t;
    for (const Table &t : bank)
        if (t.name == Summative)
            order << &t;
    for (const Table *t : order)
        for (const QuestionSet &s : t->sets)
            for (const QString &text : s.statements) {
                const QString n = normalized(text);
                const auto seen = first.constFind(n);
                if (seen == first.cend()) {
                    first.insert(n, {t->name, where(*t, s)});
                } else if (t->name == Summative && seen->table != Summative) {
                    faults << QStringLiteral("%1 repeats a questionnaire statement of %2: %3")
                                  .arg(where(*t, s), seen->at, text);
                } else {
                    faults << QStringLiteral("%1 repeats a statement of %2: %3").arg(where(*t, s), seen->at, text);
                }
            }
    return faults;
}

QStringList titles(const Bank &bank)
{
    static const QRegularExpression pageOf = words(QStringLiteral("\\bPAGINA\\s+(\\d+)\\s+DI\\s+(\\d+)\\b"));
    QStringList faults;
    for (const Table &t : bank)
        for (int i = 0; i < t.sets.size(); ++i) {
            const QString &title = t.sets[i].title;
            if (t.name != Summative) {
                if (title.size() > TitleColumn)
                    faults << QStringLiteral("%1: the title has %2 characters, more than %3")
                                  .arg(where(t, t.sets[i])).arg(title.size()).arg(TitleColumn);
                continue;
            }
            const auto m = pageOf.match(title);
            if (!m.hasMatch() || m.captured(1).toInt() != i + 1 || m.captured(2).toInt() != t.sets.size())
                faults << QStringLiteral("%1: page %2 of %3 must say \"PAGINA %2 DI %3\"")
                              .arg(where(t, t.sets[i])).arg(i + 1).arg(t.sets.size());
        }
    return faults;
}

using Rule = QStringList (*)(const Bank &);

const QMap<QString, Rule> &rules()
{
    static const QMap<QString, Rule> all{
        {QStringLiteral("sets per table"), setsPerTable},
        {QStringLiteral("true statements per set"), trueStatementsPerSet},
        {QStringLiteral("key sequences"), keySequences},
        {QStringLiteral("language"), language},
        {QStringLiteral("statements once"), statementsOnce},
        {QStringLiteral("titles"), titles},
    };
    return all;
}

// Ten made-up statements under a title, keyed as `keys` says ("VFVF..."); `tag`
// keeps the statements of one set apart from those of any other.
QString madeUpSet(const QString &title, const QString &keys, const QString &tag)
{
    QString text = QStringLiteral("set: %1\n").arg(title);
    for (int k = 0; k < keys.size(); ++k)
        text += QStringLiteral("%1 Affermazione %2 della prova %3.\n").arg(keys[k]).arg(QChar(u'a' + k)).arg(tag);
    return text + QLatin1Char('\n');
}

// A made-up set whose first statement is `statement`, keyed by the first key.
QString setWith(const QString &title, const QString &keys, const QString &tag, const QString &statement)
{
    QStringList lines = madeUpSet(title, keys, tag).split(QLatin1Char('\n'));
    lines[1] = keys.left(1) + QLatin1Char(' ') + statement;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class tst_questionbank : public QObject
{
    Q_OBJECT
private slots:
    void shippedBank_data()
    {
        QTest::addColumn<QString>("rule");
        for (const QString &rule : rules().keys())
            QTest::newRow(qPrintable(rule)) << rule;
    }

    void shippedBank()
    {
        QFETCH(QString, rule);
        QString error;
        const Bank bank = readBank(sourceDir() + "/data/questions", &error);
        QVERIFY2(!bank.isEmpty(), qPrintable(error));
        const QStringList faults = rules().value(rule)(bank);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // The shipped bank with one change: `find` replaced by `replacement` in the
    // table's file ("*" replaces the whole file, an empty `find` appends). The rule
    // must report exactly `count` faults, the first one containing `expected`.
    void faultyBank_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("expected");

        // One fault a rule, and two look-alikes it must let pass.
        QTest::newRow("a topic table with one set")
            << "domande1" << "*" << madeUpSet("ARIA E CALORE", "VFVFVFVFVF", "uno")
            << "sets per table" << 1 << "domande1: 1 of at least 4 sets";
        QTest::newRow("seven true")
            << "domande2" << "" << madeUpSet("IL VENTO - 9", "VVVFVVFVFV", "sette")
            << "true statements per set" << 1 << "domande2 \"IL VENTO - 9\": 7 true";
        QTest::newRow("a page with the key of a questionnaire set")
            << "sommativo" << "" << madeUpSet("TEST SOMMATIVO - PAGINA 7 DI 7", keyOfFirstSet("domande5"), "chiave")
            << "key sequences" << 1 << "has the key " + keyOfFirstSet("domande5") + " of domande5";
        QTest::newRow("E' inside a statement")
            << "domande4" << "" << setWith("PROVA", "VVFVFVFVFV", "e", "Il gesso e' una roccia che si scioglie.")
            << "language" << 1 << "\"E'\" instead of \"È\"";
        QTest::newRow("non and mai in a false statement")
            << "domande2" << ""
            << setWith("PROVA", "FVFVFVFVFV", "mai", "La polvere del Sahara non arriva mai fino in Italia.")
            << "language" << 1 << "a double negative in a false statement";
        QTest::newRow("non and mai in a true statement")
            << "domande2" << "" << setWith("PROVA", "VVFVFVFVFF", "vero", "Il vento non solleva mai i massi grossi.")
            << "language" << 0 << "";
        QTest::newRow("ed before another word")
            << "domande3" << "" << setWith("PROVA", "VVFVFVFVFF", "ed", "Il fiume rallenta ed è costretto a curvare.")
            << "language" << 0 << "";
        QTest::newRow("the summative repeating a questionnaire statement")
            << "sommativo" << ""
            << setWith("TEST SOMMATIVO - PAGINA 7 DI 7", "VFVFVFVFVF", "copia", "LE STALATTITI PENDONO DALLA VOLTA DELLA GROTTA")
            << "statements once" << 1 << "repeats a questionnaire statement of domande4";
        QTest::newRow("a page added without renumbering the others")
            << "sommativo" << "" << madeUpSet("TEST SOMMATIVO - PAGINA 7 DI 7", "VVFFVFVFFV", "nuova")
            << "titles" << 6 << "page 1 of 7";
    }

    void faultyBank()
    {
        QFETCH(QString, table);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, rule);
        QFETCH(int, count);
        QFETCH(QString, expected);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QDir shipped(sourceDir() + "/data/questions");
        for (const QString &f : shipped.entryList({"*.txt"}, QDir::Files))
            QVERIFY(QFile::copy(shipped.filePath(f), dir.filePath(f)));
        const QString file = dir.filePath(table + ".txt");
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly | QIODevice::Text));
        QString text = QString::fromUtf8(in.readAll());
        in.close();
        if (find == QLatin1String("*")) {
            text = replacement;
        } else if (find.isEmpty()) {
            text += QLatin1Char('\n') + replacement;
        } else {
            QVERIFY2(text.contains(find), qPrintable("the shipped bank no longer holds: " + find));
            text.replace(text.indexOf(find), find.size(), replacement);
        }
        QVERIFY(QFile::remove(file));
        if (!text.isEmpty()) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Text));
            out.write(text.toUtf8());
        }

        QString error;
        const Bank bank = readBank(dir.path(), &error);
        QVERIFY2(!bank.isEmpty(), qPrintable(error));
        const QStringList faults = rules().value(rule)(bank);
        QVERIFY2(faults.size() == count, qPrintable(QStringLiteral("%1 faults, not %2:\n%3")
                                                        .arg(faults.size()).arg(count).arg(faults.join('\n'))));
        if (count > 0)
            QVERIFY2(faults.first().contains(expected), qPrintable(faults.first()));
    }

private:
    static QString keyOfFirstSet(const QString &table)
    {
        const auto sets = storage::readQuestionFile(sourceDir() + "/data/questions/" + table + ".txt");
        return sets ? keyOf(sets.value().first()) : QString();
    }
};

QTEST_MAIN(tst_questionbank)
#include "tst_questionbank.moc"
