#include "rules.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace coursecheck {

namespace {

const QString Summative = QStringLiteral("sommativo");

// The archive prints a set's title in a column 23 characters wide.
constexpr int TitleColumn = 23;

QRegularExpression words(const QString &pattern)
{
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption
                                           | QRegularExpression::UseUnicodePropertiesOption);
}

int minimumSets(const QString &table)
{
    if (table == Summative)
        return 6;
    return table == QLatin1String("domande7") ? 2 : 4;
}

QString keyOf(const QuestionSet &s)
{
    QString key;
    for (const Statement &st : s.statements)
        key += st.isTrue ? QLatin1Char('V') : QLatin1Char('F');
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

QString where(const Table &t, const QuestionSet &s) { return QStringLiteral("%1 \"%2\"").arg(t.name, s.title); }

// The words a statement may hold that claim too much to be true, the easy clue
// of a false statement: the bank keeps enough of them true.
const QRegularExpression &absolute()
{
    static const QRegularExpression re =
        words(QStringLiteral("(?<!\\p{L})(?:soltanto|sempre|unic[oaie]|tutti|tutte|solo|sola|mai|nessun[oa]?)(?!\\p{L})"));
    return re;
}

// The words of a term or a lesson, lower case, split at anything that is not a letter.
QStringList wordsOf(const QString &text)
{
    static const QRegularExpression notLetters(QStringLiteral("[^\\p{L}]+"), QRegularExpression::UseUnicodePropertiesOption);
    return text.toLower().split(notLetters, Qt::SkipEmptyParts);
}

// What is left of an Italian word when its ending may vary: "duna" and "dune"
// share "dun", "alberi" and "albero" share "alber", "arrugginita" and
// "arrugginire" share "arruggin".
QString stem(const QString &word)
{
    static const QString vowels = QStringLiteral("aeiouàèéìòù");
    if (word.size() <= 5)
        return word.size() > 2 && vowels.contains(word.back()) ? word.chopped(1) : word;
    return word.left(qMax<qsizetype>(5, word.size() - 3));
}

bool isFunctionWord(const QString &w)
{
    static const QSet<QString> list{
        "il", "lo", "la", "i", "gli", "le", "l", "un", "una", "uno", "di", "del", "dello", "della", "dei",
        "degli", "delle", "dell", "da", "dal", "dallo", "dalla", "dai", "dagli", "dalle", "dall", "in",
        "nel", "nello", "nella", "nei", "negli", "nelle", "nell", "con", "su", "sul", "sulla", "per",
        "tra", "fra", "e", "ed", "o", "a", "al", "allo", "alla", "ai", "agli", "alle", "all", "più", "poco"};
    return list.contains(w);
}

// A term whose words are not the lesson's: what the lesson says instead.
const QHash<QString, QStringList> &taughtAs()
{
    static const QHash<QString, QStringList> table{
        {"degradazione provocata dagli incendi", {"incendi", "spacca"}},
        {"fessure provocate dalle radici", {"radici", "fessur"}},
        {"formazione di humus", {"humus"}},
        {"fratture naturali della roccia", {"frattur", "roccia"}},
        {"conca di più doline unite", {"doline", "uniscono", "conche"}},
        {"sabbia trasportata vicino al suolo", {"sabbia", "vicino al suolo"}},
    };
    return table;
}

// Pairs of names the lessons give to one and the same feature, or to a feature
// and the whole it belongs to: one picture must not ask for both.
const QList<QPair<QString, QString>> &sameThing()
{
    static const QList<QPair<QString, QString>> pairs{
        {"dolina", "depressione carsica"},  {"galleria", "cavità sotterranea"},
        {"foce", "delta"},                  {"foce", "estuario"},
        {"deposito eolico", "duna"},        {"deposito eolico", "loess"},
        {"valle glaciale", "valle a u"},    {"valle glaciale", "valle laterale"},
        {"cono detritico", "conoide detritico"},
    };
    return pairs;
}

// A name is in a term when each of its words, in order, starts a word of the term
// (up to its variable ending).
bool names(const QString &term, const QString &name)
{
    const QStringList t = wordsOf(term);
    const QStringList n = wordsOf(name);
    qsizetype at = 0;
    for (const QString &w : n) {
        const QString s = stem(w);
        while (at < t.size() && !t[at].startsWith(s))
            ++at;
        if (at == t.size())
            return false;
        ++at;
    }
    return !n.isEmpty();
}

} // namespace

Faults setsPerTable(const Course &c)
{
    Faults faults;
    QStringList names;
    for (int t = 1; t <= 7; ++t)
        names << QStringLiteral("domande%1").arg(t);
    names << Summative;
    for (const QString &name : names) {
        const Table *found = nullptr;
        for (const Table &t : c.bank)
            if (t.name == name)
                found = &t;
        const qsizetype count = found ? found->sets.size() : 0;
        if (count < minimumSets(name))
            faults << Fault{found ? found->file : name + ".txt", 1,
                            QStringLiteral("%1: %2 of at least %3 sets").arg(name).arg(count).arg(minimumSets(name))};
    }
    return faults;
}

Faults trueStatementsPerSet(const Course &c)
{
    Faults faults;
    for (const Table &t : c.bank)
        for (const QuestionSet &s : t.sets) {
            const qsizetype trueOnes = keyOf(s).count(QLatin1Char('V'));
            if (trueOnes < 4 || trueOnes > 6)
                faults << Fault{t.file, s.line,
                                QStringLiteral("%1: %2 true statements, not four to six").arg(where(t, s)).arg(trueOnes)};
        }
    return faults;
}

Faults keySequences(const Course &c)
{
    Faults faults;
    QHash<QString, QString> first;
    for (const Table &t : c.bank)
        for (const QuestionSet &s : t.sets) {
            const QString key = keyOf(s);
            if (first.contains(key))
                faults << Fault{t.file, s.line,
                                QStringLiteral("%1 has the key %2 of %3").arg(where(t, s), key, first.value(key))};
            else
                first.insert(key, where(t, s));
        }
    return faults;
}

Faults bankLanguage(const Course &c)
{
    static const QRegularExpression apostropheE = words(QStringLiteral("(?:^|[^\\p{L}'])E'(?!\\p{L})"));
    static const QRegularExpression edIl = words(QStringLiteral("\\bed\\s+il?\\b"));
    static const QRegularExpression negation = words(QStringLiteral("\\bnon\\b"));
    static const QRegularExpression secondNegation =
        words(QStringLiteral("\\b(?:mai|nessun|nessuno|nessuna|niente|nulla)\\b"));
    static const QRegularExpression smallFigure = words(QStringLiteral("\\b[0-9]\\b"));
    Faults faults;
    auto wording = [&](const Table &t, int line, const QString &text) {
        if (text.contains(apostropheE))
            faults << Fault{t.file, line, QStringLiteral("\"E'\" instead of \"È\": %1").arg(text)};
        if (text.contains(edIl))
            faults << Fault{t.file, line, QStringLiteral("\"ed il\" or \"ed i\" instead of \"e il\", \"e i\": %1").arg(text)};
    };
    for (const Table &t : c.bank)
        for (const QuestionSet &s : t.sets) {
            wording(t, s.line, s.title);
            for (const Statement &st : s.statements) {
                wording(t, st.line, st.text);
                if (!st.isTrue && st.text.contains(negation) && st.text.contains(secondNegation))
                    faults << Fault{t.file, st.line, QStringLiteral("a double negative in a false statement: %1").arg(st.text)};
                if (st.text.contains(smallFigure))
                    faults << Fault{t.file, st.line, QStringLiteral("a number under ten in figures: %1").arg(st.text)};
                if (st.text.contains(QLatin1Char('%')))
                    faults << Fault{t.file, st.line, QStringLiteral("a percentage to learn by heart: %1").arg(st.text)};
            }
        }
    return faults;
}

Faults statementsOnce(const Course &c)
{
    Faults faults;
    struct Seen
    {
        QString table, at;
    };
    QHash<QString, Seen> first;
    // The questionnaires first, so that a summative statement is reported as the repeat.
    QList<const Table *> order;
    for (const Table &t : c.bank)
        if (t.name != Summative)
            order << &t;
    for (const Table &t : c.bank)
        if (t.name == Summative)
            order << &t;
    for (const Table *t : order)
        for (const QuestionSet &s : t->sets)
            for (const Statement &st : s.statements) {
                const QString n = normalized(st.text);
                const auto seen = first.constFind(n);
                if (seen == first.cend())
                    first.insert(n, {t->name, where(*t, s)});
                else if (t->name == Summative && seen->table != Summative)
                    faults << Fault{t->file, st.line, QStringLiteral("repeats a questionnaire statement of %1: %2").arg(seen->at, st.text)};
                else
                    faults << Fault{t->file, st.line, QStringLiteral("repeats a statement of %1: %2").arg(seen->at, st.text)};
            }
    return faults;
}

Faults titles(const Course &c)
{
    static const QRegularExpression pageOf = words(QStringLiteral("\\bPAGINA\\s+(\\d+)\\s+DI\\s+(\\d+)\\b"));
    Faults faults;
    for (const Table &t : c.bank)
        for (int i = 0; i < t.sets.size(); ++i) {
            const QuestionSet &s = t.sets[i];
            if (t.name != Summative) {
                if (s.title.size() > TitleColumn)
                    faults << Fault{t.file, s.line, QStringLiteral("the title has %1 characters, more than %2")
                                                        .arg(s.title.size()).arg(TitleColumn)};
                continue;
            }
            const auto m = pageOf.match(s.title);
            if (!m.hasMatch() || m.captured(1).toInt() != i + 1 || m.captured(2).toInt() != t.sets.size())
                faults << Fault{t.file, s.line, QStringLiteral("page %1 of %2 must say \"PAGINA %1 DI %2\"")
                                                    .arg(i + 1).arg(t.sets.size())};
        }
    return faults;
}

// At least a third of the statements with an absolute word are true, in every
// table that has three or more of them and over the whole bank: otherwise the
// word alone tells a pupil to answer "falso".
Faults absoluteWords(const Course &c)
{
    Faults faults;
    qsizetype all = 0, allTrue = 0;
    for (const Table &t : c.bank) {
        qsizetype count = 0, trueOnes = 0;
        int firstFalse = 0;
        for (const QuestionSet &s : t.sets)
            for (const Statement &st : s.statements)
                if (st.text.contains(absolute())) {
                    ++count;
                    if (st.isTrue)
                        ++trueOnes;
                    else if (!firstFalse)
                        firstFalse = st.line;
                }
        all += count;
        allTrue += trueOnes;
        if (count >= 3 && trueOnes * 3 < count)
            faults << Fault{t.file, firstFalse,
                            QStringLiteral("%1: %2 of %3 statements with soltanto, sempre, tutti and the like are true, "
                                           "fewer than a third").arg(t.name).arg(trueOnes).arg(count)};
    }
    if (all >= 3 && allTrue * 3 < all)
        faults << Fault{QStringLiteral("data/questions"), 0,
                        QStringLiteral("the bank: %1 of %2 statements with absolute words are true, fewer than a third")
                            .arg(allTrue).arg(all)};
    return faults;
}

// The page bodies as the pupil reads them: no "E'" for "È", no "ed il" or "ed i",
// numbers under ten in words, and one name for the agents that shape the relief.
//
// A number under ten is a single digit that is not part of a longer figure. These
// stay in digits: figures of two or more digits ("100 milioni", "1800"), grouped
// thousands ("800 000"), decimals ("2,5"), percentages and degrees ("5%", "3 °C"),
// a day before its month ("3 maggio"), list markers ("1)") and digits inside a
// formula ("CO2"). Titles and end messages are the program's own captions and keep
// their old spelling.
Faults lessonLanguage(const Course &c)
{
    constexpr auto Options = QRegularExpression::UseUnicodePropertiesOption;
    constexpr auto AnyCase = Options | QRegularExpression::CaseInsensitiveOption;
    static const QList<QPair<QString, QRegularExpression>> list{
        {"\"E'\" for \"È\"", QRegularExpression(R"((?<!\p{L})[Ee]['’](?!\p{L}))", Options)},
        {"\"ed il\" or \"ed i\"", QRegularExpression(R"((?<!\p{L})ed\s+(il|i)(?!\p{L}))", AnyCase)},
        {"a number under ten in figures",
         QRegularExpression(R"((?<![\p{L}\d.,])\d(?!\d|[.,]\d|\s\d{3}|\s*[%°)]|\s+(gennaio|febbraio|marzo|aprile|maggio|giugno|luglio|agosto|settembre|ottobre|novembre|dicembre)(?!\p{L})))",
                            AnyCase)},
        {"\"agenti esterni\" for \"agenti esogeni\"", QRegularExpression(R"((?<!\p{L})agent[ei]\s+estern[oi](?!\p{L}))", AnyCase)},
    };
    Faults faults;
    for (const Lesson &l : c.lessons)
        for (const TextLine &tl : l.lines) {
            if (!tl.body)
                continue;
            for (const auto &[name, re] : list) {
                auto it = re.globalMatch(tl.text);
                while (it.hasNext()) {
                    const auto m = it.next();
                    const qsizetype from = qMax<qsizetype>(0, m.capturedStart() - 20);
                    faults << Fault{l.file, tl.line, QStringLiteral("%1: «%2»").arg(name, tl.text.mid(from, m.capturedEnd() - from + 20).trimmed())};
                }
            }
        }
    return faults;
}

// A pupil can only name what the lesson taught: every word of a term (or the words
// the lesson uses for it) is on one page of its topic's lesson, title included.
Faults termsTaught(const Course &c)
{
    Faults faults;
    for (const LabelTopic &topic : c.labelling) {
        const Lesson *lesson = nullptr;
        for (const Lesson &l : c.lessons)
            if (l.topic == topic.topic)
                lesson = &l;
        QHash<int, QString> pages;
        if (lesson)
            for (const TextLine &tl : lesson->lines)
                pages[tl.page] += QLatin1Char(' ') + wordsOf(tl.text).join(QLatin1Char(' ')) + QLatin1Char(' ');
        for (const LabelTerm &term : topic.terms) {
            const QString key = wordsOf(term.text).join(QLatin1Char(' '));
            QStringList wanted = taughtAs().value(key);
            if (wanted.isEmpty())
                for (const QString &w : wordsOf(term.text))
                    if (!isFunctionWord(w))
                        wanted << stem(w);
            bool taught = false;
            for (const QString &page : std::as_const(pages)) {
                taught = std::all_of(wanted.cbegin(), wanted.cend(), [&](const QString &w) {
                    return page.contains(QLatin1Char(' ') + w);
                });
                if (taught)
                    break;
            }
            if (!taught)
                faults << Fault{topic.file, term.line,
                                QStringLiteral("topic %1: \"%2\" is taught on no page of its lesson")
                                    .arg(topic.topic).arg(term.text.trimmed())};
        }
    }
    return faults;
}

Faults synonymTerms(const Course &c)
{
    Faults faults;
    for (const LabelTopic &topic : c.labelling)
        for (const auto &[one, other] : sameThing())
            for (const LabelTerm &a : topic.terms)
                for (const LabelTerm &b : topic.terms)
                    if (&a != &b && names(a.text, one) && !names(a.text, other) && names(b.text, other)
                        && !names(b.text, one))
                        faults << Fault{topic.file, b.line,
                                        QStringLiteral("topic %1: \"%2\" and \"%3\" name the same feature")
                                            .arg(topic.topic).arg(a.text.trimmed(), b.text.trimmed())};
    return faults;
}

const QList<Rule> &rules()
{
    static const QList<Rule> all{
        {"sets per table", setsPerTable},
        {"true statements per set", trueStatementsPerSet},
        {"key sequences", keySequences},
        {"bank language", bankLanguage},
        {"statements once", statementsOnce},
        {"titles", titles},
        {"absolute words", absoluteWords},
        {"lesson language", lessonLanguage},
        {"terms taught", termsTaught},
        {"synonym terms", synonymTerms},
    };
    return all;
}

Faults checkAll(const Course &c)
{
    Faults faults;
    for (const Rule &r : rules())
        faults += r.check(c);
    return faults;
}

} // namespace coursecheck
