#include "lessonpages.h"

#include "platform/runtime.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <map>

namespace lessons {

int LessonPages::animationPage() const
{
    for (int p = 1; p <= count(); ++p)
        if (page(p).animation)
            return p;
    return 0;
}

namespace {

const QChar CarriageReturn(13);
constexpr int EndBlankLines = 4;

bool quoted(const QString &value, QString *out)
{
    if (value.size() < 2 || !value.startsWith(QLatin1Char('"')) || !value.endsWith(QLatin1Char('"')))
        return false;
    *out = value.mid(1, value.size() - 2);
    return true;
}

QString rstrip(const QString &s)
{
    int n = int(s.size());
    while (n > 0 && s.at(n - 1).isSpace())
        --n;
    return s.left(n);
}

} // namespace

std::optional<LessonPages> parseLessonPages(const QString &source, QString *error)
{
    LessonPages lesson;
    const QStringList lines = source.split(QLatin1Char('\n'));
    Page *page = nullptr;
    QStringList paragraphs;
    bool inText = false;
    int lineNo = 0;
    auto fail = [&](const QString &why) {
        *error = QStringLiteral("line %1: %2").arg(lineNo).arg(why);
        return std::nullopt;
    };
    auto closePage = [&] {
        if (page && inText) {
            while (!paragraphs.isEmpty() && paragraphs.last().trimmed().isEmpty())
                paragraphs.removeLast();
            page->text = paragraphs.join(CarriageReturn);
        }
        paragraphs.clear();
        inText = false;
    };
    static const QRegularExpression pageLine(QStringLiteral("^page (\\d+)\\s*$"));
    for (QString line : lines) {
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const auto m = pageLine.match(line);
        if (m.hasMatch()) {
            closePage();
            const int n = m.captured(1).toInt();
            if (n != lesson.count() + 1)
                return fail(QStringLiteral("page %1 out of order").arg(n));
            lesson.pages.append(Page{});
            page = &lesson.pages.last();
            continue;
        }
        if (inText) {
            paragraphs << rstrip(line);
            continue;
        }
        if (line.trimmed().isEmpty() || (!page && line.startsWith(QLatin1Char('#'))))
            continue;
        const int colon = int(line.indexOf(QLatin1Char(':')));
        if (colon < 0)
            return fail(QStringLiteral("expected \"key: value\""));
        const QString key = line.left(colon).trimmed();
        const QString value = line.mid(colon + 1).trimmed();
        if (!page) {
            if (key != QLatin1String("caption"))
                return fail(QStringLiteral("unknown header key \"%1\"").arg(key));
            lesson.caption = value;
            continue;
        }
        if (key == QLatin1String("title")) {
            if (!quoted(value, &page->title))
                return fail(QStringLiteral("the title goes between double quotes"));
        } else if (key == QLatin1String("picture")) {
            page->picture = value;
        } else if (key == QLatin1String("picture back")) {
            page->pictureBack = value;
        } else if (key == QLatin1String("place")) {
            const QStringList v = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            bool ok = v.size() == 4;
            int n[4] = {};
            for (int i = 0; ok && i < 4; ++i)
                n[i] = v[i].toInt(&ok);
            if (!ok)
                return fail(QStringLiteral("place needs four numbers: left top width height"));
            page->place = platform::TwRect{n[0], n[1], n[2], n[3]};
        } else if (key == QLatin1String("animation")) {
            bool ok;
            page->animation = value.toInt(&ok);
            if (!ok || page->animation < 1)
                return fail(QStringLiteral("animation needs a sequence number"));
        } else if (key == QLatin1String("text")) {
            if (!value.isEmpty())
                return fail(QStringLiteral("the text starts on the line after \"text:\""));
            inText = true;
        } else if (key == QLatin1String("end")) {
            QString message;
            if (!quoted(value, &message))
                return fail(QStringLiteral("the end message goes between double quotes"));
            page->text = QString(EndBlankLines, CarriageReturn) + message;
        } else {
            return fail(QStringLiteral("unknown key \"%1\"").arg(key));
        }
    }
    closePage();

    if (lesson.count() < 2 || lesson.count() > MaxPages)
        return fail(QStringLiteral("a lesson has 2 to %1 pages").arg(MaxPages));
    for (int p = 1; p <= lesson.count(); ++p) {
        const Page &pg = lesson.page(p);
        lineNo = p;
        if (pg.title.isEmpty())
            return fail(QStringLiteral("page %1 has no title").arg(p));
        if (pg.text.isEmpty())
            return fail(QStringLiteral("page %1 has no text").arg(p));
        if (p < lesson.count() && pg.picture.isEmpty())
            return fail(QStringLiteral("page %1 has no picture").arg(p));
        if (p == lesson.count() && (!pg.picture.isEmpty() || pg.animation))
            return fail(QStringLiteral("the end page shows no picture and no animation"));
    }
    return lesson;
}

const LessonPages &lessonPages(const QString &window)
{
    // Entries of a std::map stay where they are as the cache grows.
    static std::map<QString, LessonPages> cache;
    if (auto it = cache.find(window); it != cache.end())
        return it->second;
    const QString resource = QStringLiteral(":/lessons/%1.txt").arg(window);
    QFile f(resource);
    if (!f.open(QIODevice::ReadOnly))
        platform::fatal(QStringLiteral("Mancano le pagine della lezione \"%1\".").arg(window));
    QString error;
    const auto pages = parseLessonPages(QString::fromUtf8(f.readAll()), &error);
    if (!pages)
        platform::fatal(QStringLiteral("Le pagine della lezione \"%1\" sono scritte male: %2").arg(window, error));
    return cache.emplace(window, *pages).first->second;
}

const QString &pictureDescription(const QString &file)
{
    static const QHash<QString, QString> descriptions = [] {
        QHash<QString, QString> read;
        QFile f(QStringLiteral(":/lessons/immagini.txt"));
        if (!f.open(QIODevice::ReadOnly))
            platform::fatal(QStringLiteral("Mancano le descrizioni delle immagini delle lezioni."));
        for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
            const int colon = int(line.indexOf(QLatin1Char(':')));
            if (!line.startsWith(QLatin1Char('#')) && colon > 0)
                read.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
        return read;
    }();
    static const QString none;
    const auto it = descriptions.find(file.toLower());
    return it == descriptions.end() ? none : *it;
}

} // namespace lessons
