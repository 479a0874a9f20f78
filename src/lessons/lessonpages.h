#pragma once
// The pages of a lesson, read from its page file (format in DESIGN.md).

#include "platform/twips.h"

#include <QList>
#include <QString>
#include <optional>

namespace lessons {

struct Page
{
    QString title;
    QString text;        // paragraphs joined by carriage returns
    QString picture;     // file name in the data folder; empty on the end page
    QString pictureBack; // the name used when the page is reached going back
    std::optional<platform::TwRect> place;
    int animation = 0;   // the sequence this page offers, 0 for none
};

// The page store of a lesson window holds titles 1 to 20.
inline constexpr int MaxPages = 20;

struct LessonPages
{
    QString caption;
    QList<Page> pages; // page p is pages[p - 1]

    int count() const { return int(pages.size()); }
    const Page &page(int p) const { return pages[p - 1]; }
    int animationPage() const; // 0 when the lesson has none
};

// Parses a page file; on a fault returns nothing and says where in `error`.
std::optional<LessonPages> parseLessonPages(const QString &text, QString *error);

// The pages of a lesson window, from the files built into the program.
const LessonPages &lessonPages(const QString &window);

// What a lesson picture shows, in a sentence for a screen reader (immagini.txt
// beside the page files); empty for a picture it does not describe.
const QString &pictureDescription(const QString &file);

} // namespace lessons
