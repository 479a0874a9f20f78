// Installs the course database into the data folder: creates it when absent,
// rebuilds the question tables from the question bank, keeps every stored result.

#include "storage/coursebank.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto arg = [&](const QString &name) {
        const int i = args.indexOf(name);
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
    };
    const QString schema = arg("--schema"), questions = arg("--questions"), db = arg("--db");
    if (schema.isEmpty() || questions.isEmpty() || db.isEmpty()) {
        std::fprintf(stderr, "usage: mkdb --schema FILE --questions DIR --db FILE\n");
        return 2;
    }
    const bool existed = QFileInfo::exists(db);
    if (const storage::Status done = storage::installCourseDatabase(db, schema, questions); !done) {
        std::fprintf(stderr, "mkdb: %s\n", qPrintable(done.error()));
        return 1;
    }
    std::printf("mkdb: %s %s\n", existed ? "question tables refreshed in" : "created", qPrintable(db));
    return 0;
}
