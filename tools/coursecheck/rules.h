#pragma once
// The rules the course content must keep: the question bank, the wording of the
// lesson pages and the terms of the picture-labelling exercise. The rules work on
// the content as read into memory, so that faulty content can be checked
// without files; loading the shipped course is in course.h.

#include <QList>
#include <QString>
#include <QStringList>

namespace coursecheck {

struct Fault
{
    QString file;
    int line = 0;
    QString message;
    QString toString() const { return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message); }
};
using Faults = QList<Fault>;

struct Statement
{
    QString text;
    bool isTrue = false;
    int line = 0;
};

struct QuestionSet
{
    QString title;
    int line = 0;
    QList<Statement> statements;
};

struct Table
{
    QString name; // domande1 .. domande7, sommativo
    QString file;
    QList<QuestionSet> sets;
};
using Bank = QList<Table>;

// One line of a lesson page that the pupil reads.
struct TextLine
{
    int page = 0;
    int line = 0;
    QString text;
    bool body = true; // false for a title: titles keep their old spelling
};

struct Lesson
{
    int topic = 0; // 1 to 7
    QString file;
    QList<TextLine> lines;
};

struct LabelTerm
{
    QString text; // as stored, blanks included
    int line = 0;
};

struct LabelTopic
{
    int topic = 0; // 1 to 6: its lesson is the lesson of the same topic
    QString file;
    QList<LabelTerm> terms;
};

struct Course
{
    Bank bank;
    QList<Lesson> lessons;
    QList<LabelTopic> labelling;
};

// Each rule returns every fault it finds.
Faults setsPerTable(const Course &c);
Faults trueStatementsPerSet(const Course &c);
Faults keySequences(const Course &c);
Faults bankLanguage(const Course &c);
Faults statementsOnce(const Course &c);
Faults titles(const Course &c);
Faults absoluteWords(const Course &c);
Faults lessonLanguage(const Course &c);
Faults termsTaught(const Course &c);
Faults synonymTerms(const Course &c);

struct Rule
{
    const char *name;
    Faults (*check)(const Course &);
};
const QList<Rule> &rules();

Faults checkAll(const Course &c);

} // namespace coursecheck
