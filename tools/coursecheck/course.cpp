#include "course.h"

#include "common/labeltopics.h"
#include "storage/coursebank.h"

#include <QDir>
#include <QFile>

namespace coursecheck {

namespace {

bool readText(const QString &path, QString *text, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return false;
    }
    *text = QString::fromUtf8(f.readAll());
    return true;
}

// The installer's reader gives the sets; their lines are found again in the file,
// in the same order.
bool readTable(const QString &dir, const QString &name, Table *table, QString *error)
{
    const QString path = QDir(dir).filePath(name + QStringLiteral(".txt"));
    const auto read = storage::readQuestionFile(path);
    if (!read) {
        *error = read.error();
        return false;
    }
    const QList<storage::QuestionSet> &sets = read.value();
    QString text;
    if (!readText(path, &text, error))
        return false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    table->name = name;
    table->file = QStringLiteral("data/questions/%1.txt").arg(name);
    qsizetype at = 0;
    auto next = [&](auto isIt) {
        while (at < lines.size() && !isIt(lines[at]))
            ++at;
        return at < lines.size() ? int(++at) : 0;
    };
    for (const storage::QuestionSet &s : sets) {
        QuestionSet set{s.title, next([](const QString &l) { return l.startsWith(QLatin1String("set:")); }), {}};
        for (int k = 0; k < s.statements.size(); ++k) {
            const int line = next([](const QString &l) {
                return l.startsWith(QLatin1String("V ")) || l.startsWith(QLatin1String("F "));
            });
            set.statements << Statement{s.statements[k], s.answers[k] == 1, line};
        }
        table->sets << set;
    }
    return true;
}

} // namespace

QStringList lessonFiles()
{
    return {"fargom.txt", "farg2.txt", "farg3.txt", "farg4.txt", "farg5.txt", "farg6.txt", "farg7.txt"};
}

Lesson parseLesson(int topic, const QString &file, const QString &text)
{
    Lesson lesson{topic, file, {}};
    int page = 0;
    bool inText = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString &l = lines[i];
        if (l.startsWith(QLatin1String("page "))) {
            page = l.mid(5).trimmed().toInt();
            inText = false;
        } else if (page == 0) {
            continue;
        } else if (inText) {
            if (!l.trimmed().isEmpty())
                lesson.lines << TextLine{page, i + 1, l, true};
        } else if (l.startsWith(QLatin1String("title:"))) {
            lesson.lines << TextLine{page, i + 1, l.mid(6).trimmed(), false};
        } else if (l.startsWith(QLatin1String("text:"))) {
            inText = true;
        }
    }
    return lesson;
}

bool loadCourse(const QString &sourceDir, Course *course, QString *error)
{
    const QDir source(sourceDir);
    for (const QString &name : storage::questionTables()) {
        Table t;
        if (!readTable(source.filePath(QStringLiteral("data/questions")), name, &t, error))
            return false;
        course->bank << t;
    }
    const QStringList files = lessonFiles();
    for (int k = 0; k < files.size(); ++k) {
        QString text;
        if (!readText(source.filePath(QStringLiteral("src/lessons/pages/") + files[k]), &text, error))
            return false;
        course->lessons << parseLesson(k + 1, QStringLiteral("src/lessons/pages/") + files[k], text);
    }
    // The table is the one built into the program; its lines are found in its header.
    const QString header = QStringLiteral("src/common/labeltopics.h");
    QString text;
    if (!readText(source.filePath(header), &text, error))
        return false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const common::LabelTopic &t : common::labelTopics()) {
        LabelTopic topic{t.code - 6, header, {}};
        for (const QString &term : t.terms) {
            const QString literal = QStringLiteral("QStringLiteral(\"%1\")").arg(term);
            int line = 0;
            for (int i = 0; i < lines.size() && !line; ++i)
                if (lines[i].contains(literal))
                    line = i + 1;
            topic.terms << LabelTerm{term, line};
        }
        course->labelling << topic;
    }
    return true;
}

} // namespace coursecheck
