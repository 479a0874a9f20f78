#include "labelsheet.h"

#include "common/labeltopics.h"

#include <QFont>
#include <QPainter>

namespace labelsheet {

namespace {

using platform::TwRect;

// The stretch of the window each topic is cut from, in window pixels: from the left
// column of boxes to the end of the term list, from the title down past the
// bottom row of boxes.
const QRect WindowCrop(40, 0, 680, 372);

const QColor WindowBack(236, 233, 216);
const QColor TitleBack(255, 202, 192);
const QColor BoxBack(255, 224, 192);
const QColor TileBack(192, 192, 192);
const QColor Ink(0, 0, 0);

// The positions of the title, the number tiles and the term texts, in twips.
constexpr TwRect Title{840, 120, 6135, 280};
constexpr int TileLeft = 7680, TileTop = 600, TileStep = 480, TileWidth = 375, TileHeight = 495;
constexpr int TermLeft = 8040, TermWidth = 2535;

QFont font(int pixels, bool bold)
{
    QFont f("Liberation Sans");
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void drawBox(QPainter &p, const QRect &r, const QColor &back, const QString &text)
{
    p.fillRect(r, back);
    p.setPen(QPen(Ink, 1));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setFont(font(16, true));
    p.drawText(r, Qt::AlignCenter, text);
}

// One topic as its window shows it, painted in window coordinates.
void drawTopic(QPainter &p, const common::LabelTopic &topic, const QImage &picture)
{
    p.fillRect(WindowCrop, WindowBack);

    const QRect title = Title.px();
    p.fillRect(title, TitleBack);
    p.setPen(Ink);
    p.setFont(font(13, true));
    p.drawText(title.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, topic.title);

    const QRect frame = common::PictureFrame.px();
    if (picture.isNull()) {
        p.fillRect(frame, Qt::white);
        p.setFont(font(14, true));
        p.drawText(frame, Qt::AlignCenter, QStringLiteral("manca %1").arg(topic.picture));
    } else {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(frame, picture);
    }

    for (int i = 0; i < common::DropBoxCount; ++i)
        if (topic.attesi[i] != 0)
            drawBox(p, common::DropBoxes[i].rect.px(), BoxBack, QString::number(topic.attesi[i]));

    for (int k = 1; k <= topic.terms.size(); ++k) {
        const int top = TileTop + TileStep * (k - 1);
        drawBox(p, TwRect{TileLeft, top, TileWidth, TileHeight}.px(), TileBack, QString::number(k));
        const QRect term = TwRect{TermLeft, top, TermWidth, TileHeight}.px();
        p.setPen(Ink);
        p.setFont(font(11, false));
        p.drawText(term.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                   topic.terms[k - 1]);
    }
}

} // namespace

QImage labellingSheet(const QString &pictureDir, QStringList *missing)
{
    const QList<common::LabelTopic> &topics = common::labelTopics();
    const int columns = 2, pad = 10, caption = 18, head = 30;
    const int rows = (int(topics.size()) + columns - 1) / columns;
    const QSize cell = WindowCrop.size();
    QImage img(pad + columns * (cell.width() + pad), head + rows * (caption + cell.height() + pad),
               QImage::Format_RGB32);
    img.fill(QColor(70, 70, 70));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::white);
    p.setFont(font(16, true));
    p.drawText(pad, 22, QStringLiteral("Descrivi l'immagine: ogni casella con il numero che aspetta"));

    for (int t = 0; t < topics.size(); ++t) {
        const common::LabelTopic &topic = topics[t];
        const QImage picture(pictureDir + "/" + topic.picture);
        if (picture.isNull())
            missing->append(topic.picture);
        const QPoint at(pad + (t % columns) * (cell.width() + pad), head + (t / columns) * (caption + cell.height() + pad));
        p.setPen(Qt::white);
        p.setFont(font(12, false));
        p.drawText(at.x(), at.y() + 13,
                   QStringLiteral("Argomento %1 (codice %2): %3").arg(t + 1).arg(topic.code).arg(topic.picture));
        p.save();
        p.translate(at.x() - WindowCrop.left(), at.y() + caption - WindowCrop.top());
        p.setClipRect(WindowCrop);
        drawTopic(p, topic, picture);
        p.restore();
    }
    return img;
}

} // namespace labelsheet
