// Renders the course pictures into the data folder: every SVG source at its own
// size, and the animation frames drawn in code. Writes contact sheets so that the
// whole set can be looked at in one go. A picture is only redrawn when its source
// (or this renderer) is newer than the JPEG already there; every file is written
// whole or not at all, so that an interrupted build never leaves a truncated
// picture that looks up to date.

#include "frames/frames.h"
#include "labelsheet.h"
#include "animation/sequences.h"
#include "common/labeltopics.h"
#include "platform/largepictures.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSet>
#include <QSvgRenderer>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int JpegQuality = 92;

bool upToDate(const QString &out, const QDateTime &sourceTime)
{
    QFileInfo fi(out);
    return fi.exists() && fi.lastModified() >= sourceTime;
}

// Writes beside the target and renames it into place only once the whole file is
// on disk.
bool saveImage(const QImage &img, const QString &path, const char *format, int quality = -1)
{
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly)
                    && img.convertToFormat(QImage::Format_RGB32).save(&file, format, quality) && file.commit();
    if (!ok)
        std::fprintf(stderr, "picrender: cannot write %s\n", qPrintable(path));
    return ok;
}

bool saveJpeg(const QImage &img, const QString &path) { return saveImage(img, path, "JPG", JpegQuality); }

QImage renderSvg(const QString &path, QString *error, int factor = 1)
{
    QSvgRenderer svg(path);
    if (!svg.isValid()) {
        *error = QStringLiteral("not a valid SVG: %1").arg(path);
        return {};
    }
    const QSize size = svg.defaultSize() * factor;
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    svg.render(&p, QRectF(QPointF(0, 0), size));
    return img;
}

QImage renderFrame(const frames::Drawing &d, int factor = 1)
{
    QImage img(frames::FrameSize * factor, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(factor, factor);
    d.draw(p);
    return img;
}

// A grid of pictures at their own size, each captioned with its file name.
QImage sheet(const QString &heading, const QList<QPair<QString, QImage>> &items, int columns)
{
    int cellW = 0, cellH = 0;
    for (const auto &it : items) {
        cellW = std::max(cellW, it.second.width());
        cellH = std::max(cellH, it.second.height());
    }
    const int pad = 10, caption = 16, head = 30;
    const int rows = (int(items.size()) + columns - 1) / columns;
    QImage img(pad + columns * (cellW + pad), head + rows * (cellH + caption + pad) + pad,
               QImage::Format_RGB32);
    img.fill(QColor(70, 70, 70));
    QPainter p(&img);
    p.setPen(Qt::white);
    QFont f("Liberation Sans");
    f.setPixelSize(16);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pad, 22, heading);
    f.setPixelSize(11);
    f.setBold(false);
    p.setFont(f);
    for (int i = 0; i < items.size(); ++i) {
        const int x = pad + (i % columns) * (cellW + pad);
        const int y = head + (i / columns) * (cellH + caption + pad);
        p.drawText(x, y + 11, items[i].first);
        p.drawImage(x, y + caption, items[i].second);
    }
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto arg = [&](const QString &name) {
        const int i = args.indexOf(name);
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
    };
    // The program's icon for the desktop, in the sizes of the icon theme.
    if (const QString icon = arg("--icon"), iconDir = arg("--icon-out"); !icon.isEmpty() && !iconDir.isEmpty()) {
        QSvgRenderer svg(icon);
        if (!svg.isValid()) {
            std::fprintf(stderr, "picrender: not a valid SVG: %s\n", qPrintable(icon));
            return 1;
        }
        int failedIcons = 0;
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::transparent);
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            svg.render(&p, QRectF(0, 0, size, size));
            p.end();
            const QString dir = QStringLiteral("%1/%2x%2/apps").arg(iconDir).arg(size);
            QDir().mkpath(dir);
            QSaveFile file(dir + "/it.valdoria.Valdoria.png");
            if (!file.open(QIODevice::WriteOnly) || !img.save(&file, "PNG") || !file.commit()) {
                std::fprintf(stderr, "picrender: cannot write %s\n", qPrintable(file.fileName()));
                ++failedIcons;
            }
        }
        return failedIcons ? 1 : 0;
    }
    const QString svgDir = arg("--svg"), outDir = arg("--out"), sheetDir = arg("--sheets");
    if (svgDir.isEmpty() || outDir.isEmpty()) {
        std::fprintf(stderr, "usage: picrender --svg DIR --out DIR [--sheets DIR]\n"
                             "       picrender --icon SVG --icon-out DIR\n");
        return 2;
    }
    // The same pictures at a larger size, for screens that scale the design up.
    const QString largeDir = outDir + "/" + platform::LargePictureFolder;
    const int large = platform::LargePictureFactor;
    QDir().mkpath(largeDir);
    const QDateTime self = QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
    int drawn = 0, failed = 0;

    QList<QPair<QString, QImage>> stills;
    QDirIterator it(svgDir, {"*.svg"}, QDir::Files, QDirIterator::Subdirectories);
    QStringList sources;
    while (it.hasNext())
        sources << it.next();
    std::sort(sources.begin(), sources.end(), [](const QString &a, const QString &b) {
        return QFileInfo(a).fileName() < QFileInfo(b).fileName();
    });
    for (const QString &src : sources) {
        const QString name = QFileInfo(src).completeBaseName() + ".jpg";
        const QString out = outDir + "/" + name;
        const QDateTime stamp = std::max(QFileInfo(src).lastModified(), self);
        if (!upToDate(out, stamp)) {
            QString error;
            const QImage img = renderSvg(src, &error);
            if (img.isNull()) {
                std::fprintf(stderr, "picrender: %s\n", qPrintable(error));
                ++failed;
                continue;
            }
            failed += !saveJpeg(img, out);
            ++drawn;
        }
        if (const QString big = largeDir + "/" + name; !upToDate(big, stamp)) {
            QString error;
            const QImage img = renderSvg(src, &error, large);
            failed += img.isNull() || !saveJpeg(img, big);
        }
        if (!sheetDir.isEmpty())
            stills.append({name, QImage(out)});
    }

    for (const frames::Drawing &d : frames::all()) {
        const QString out = outDir + "/" + d.name;
        if (const QString big = largeDir + "/" + d.name; !upToDate(big, self))
            failed += !saveJpeg(renderFrame(d, large), big);
        if (upToDate(out, self))
            continue;
        failed += !saveJpeg(renderFrame(d), out);
        ++drawn;
    }

    if (!sheetDir.isEmpty()) {
        QDir().mkpath(sheetDir);
        // The labelling pictures have a sheet of their own, with their boxes.
        QSet<QString> labelPictures;
        for (const common::LabelTopic &t : common::labelTopics())
            labelPictures.insert(t.picture);
        QList<QPair<QString, QImage>> lessons, wide;
        for (const auto &s : stills)
            if (!labelPictures.contains(s.first))
                (s.second.width() > 400 ? wide : lessons).append(s);
        failed += !saveImage(sheet("Immagini delle lezioni", lessons, 7), sheetDir + "/lezioni.png", "PNG");
        if (!wide.isEmpty())
            failed += !saveImage(sheet("Sfondo delle lezioni", wide, 1), sheetDir + "/sfondo.png", "PNG");
        for (const animation::Sequence &seq : animation::sequences()) {
            QList<QPair<QString, QImage>> strip;
            for (int i = 0; i < seq.frames.size(); ++i)
                strip.append({QStringLiteral("%1. %2").arg(i + 1).arg(seq.frames[i]),
                              QImage(outDir + "/" + seq.frames[i])});
            failed += !saveImage(sheet(QStringLiteral("Animazione %1 (%2), in ordine di proiezione")
                                           .arg(seq.number).arg(seq.stem),
                                       strip, 5),
                                 sheetDir + QStringLiteral("/animazione%1.png").arg(seq.number), "PNG");
        }
        QStringList missing;
        const QImage labelling = labelsheet::labellingSheet(outDir, &missing);
        for (const QString &m : missing)
            std::fprintf(stderr, "picrender: the labelling sheet has no %s\n", qPrintable(m));
        failed += int(missing.size());
        failed += !saveImage(labelling, sheetDir + "/labelling.png", "PNG");
    }

    std::printf("picrender: %d pictures drawn, %d failed\n", drawn, failed);
    return failed ? 1 : 0;
}
