#pragma once
// What the class got wrong, read from the stored answers and results: every
// statement or picture box answered in a period, with how many answered it
// and how many got it wrong; the spread of the grades; one pupil's results
// over time. The same statements serve the local file and the room's server.

#include "result.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace storage {

class Database;

struct ProgressFilter
{
    QDate from, to;     // both included
    QString pupil;      // empty: the whole class; letter case and accents ignored
    bool firstOnly = false; // only each pupil's first answer to each statement
};

// One statement (or box) answered in the period.
struct AnsweredItem
{
    QString prova, insieme;
    int numero = 0;
    int answers = 0, wrong = 0;
    int saidTrue = 0; // answers "true" (questionnaires and the summative test)
    double wrongShare() const { return answers ? double(wrong) / answers : 0; }
};

// A count of something: a grade word, a score.
struct Count
{
    QString what;
    int count = 0;
};

// One stored result of a pupil, as a percentage of its maximum.
struct PupilResult
{
    QDate day;
    QString what; // the set's title, or "sommativo"
    double percent = 0;
};

// One stored answer, for a spreadsheet.
struct AnswerRow
{
    QString name, prova, insieme;
    int numero = 0, risposta = 0, giusta = 0;
    QDate day;
};

class ClassProgress
{
public:
    explicit ClassProgress(Database &db) : db_(db) {}

    // Hardest first: the larger share of wrong answers, then the more answers.
    Result<QList<AnsweredItem>> answered(const ProgressFilter &f) const;
    // How the answers to one statement or box split: answer -> count.
    Result<QList<Count>> split(const ProgressFilter &f, const QString &prova, const QString &insieme, int numero) const;
    // The summative grades by word.
    Result<QList<Count>> grades(const ProgressFilter &f) const;
    // The questionnaire sets' scores: "title|score" -> count (labelling tests apart).
    Result<QList<Count>> scores(const ProgressFilter &f) const;
    // One pupil's results in time order (f.pupil must be set).
    Result<QList<PupilResult>> pupil(const ProgressFilter &f) const;
    // Every answer, one row each.
    Result<QList<AnswerRow>> answers(const ProgressFilter &f) const;

private:
    Database &db_;
};

} // namespace storage
