#pragma once
// The question bank as it ships: text files under data/questions, one per
// question table, read by one reader and installed into the course database.

#include <QList>
#include <QString>
#include <QStringList>

#include "result.h"

namespace storage {

struct QuestionSet
{
    QString title;          // column "argomento"
    QStringList statements; // ten, in stored order
    QList<int> answers;     // 1 true ("V"), 0 false ("F")
};

inline constexpr int StatementsPerSet = 10;

// A question file: for each set a line "set: TITLE" followed by exactly ten lines
// "V statement" or "F statement". Lines starting with '#' and blank lines between
// sets are ignored.
Result<QList<QuestionSet>> readQuestionFile(const QString &path);

// The tables the question bank may fill: the seven topic questionnaires and the
// summative test. A file of the bank named otherwise is refused.
QStringList questionTables();

// Creates the database file if it is absent; (re)builds a question table, with
// the schema's question_set layout, for every file in `questionsDir` (named after
// it: domande1.txt -> domande1) and creates the result tables if they are
// missing. Stored results are never touched. All or nothing: on failure an
// existing file is as it was, and a file this call created is removed.
Status installCourseDatabase(const QString &dbFile, const QString &schemaFile, const QString &questionsDir);

// The fingerprint of the course a database file holds (empty for a file from
// before fingerprints, or one that cannot be read).
QString courseVersion(const QString &dbFile);

// Brings the questions of `dataFile` up to the course of `courseFile`, keeping
// every stored result: a dated backup copy is written beside the file first
// (its path is returned), then every table of the course but the results is
// replaced inside one transaction. Nothing is done, and no path returned, when
// both hold the same course. On failure the file is as it was.
Result<QString> refreshCourse(const QString &dataFile, const QString &courseFile);

} // namespace storage
