#pragma once
// The course as it ships, read from a source tree: the question bank through the
// installer's own reader, the lesson page files and the labelling table built
// into the program, each line with the place it comes from.

#include "rules.h"

namespace coursecheck {

// The lesson page files, topic by topic.
QStringList lessonFiles();

// Reads the course under `sourceDir`. On a file that cannot be read, returns
// false with *error set.
bool loadCourse(const QString &sourceDir, Course *course, QString *error);

// One lesson page file's text as the pupil reads it: titles and page bodies.
Lesson parseLesson(int topic, const QString &file, const QString &text);

} // namespace coursecheck
