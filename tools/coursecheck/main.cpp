// Checks the course content of a source tree: the question bank, the lesson pages
// and the picture-labelling terms. Prints every fault as "file:line: message" and
// exits with 1 when there is any, 0 when the course is clean.

#include "course.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: coursecheck SOURCE_DIR\n";
        return 2;
    }
    coursecheck::Course course;
    QString error;
    if (!coursecheck::loadCourse(args[1], &course, &error)) {
        err << error << '\n';
        return 2;
    }
    const coursecheck::Faults faults = coursecheck::checkAll(course);
    for (const coursecheck::Fault &f : faults)
        out << f.toString() << '\n';
    return faults.isEmpty() ? 0 : 1;
}
