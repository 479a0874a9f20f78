#pragma once
// The picture-labelling exercise as data: for each of topics 1 to 6 its title,
// its picture, its terms (texts exactly as stored, blanks included) and the term
// that belongs in each of the ten drop boxes round the picture. The picture
// renderer reads the same table to draw the boxes over the pictures on the
// contact sheet.

#include "platform/twips.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace common {

inline constexpr int DropBoxCount = 10;

// The frame the picture is scaled into, and the ten boxes round it.
inline constexpr platform::TwRect PictureFrame{1320, 960, 5175, 4095};

struct DropBox
{
    platform::TwRect rect;
    const char *where; // what a screen reader says: "casella in alto a destra"
};

inline constexpr std::array<DropBox, DropBoxCount> DropBoxes{{
    {{6480, 4080, 495, 495}, "casella a destra in basso"},
    {{6480, 2760, 495, 495}, "casella a destra al centro"},
    {{6480, 1320, 495, 495}, "casella a destra in alto"},
    {{4800, 600, 615, 375}, "casella in alto a destra"},
    {{2280, 600, 615, 375}, "casella in alto a sinistra"},
    {{840, 1320, 495, 495}, "casella a sinistra in alto"},
    {{840, 2760, 495, 495}, "casella a sinistra al centro"},
    {{840, 4080, 495, 495}, "casella a sinistra in basso"},
    {{2280, 5040, 615, 375}, "casella in basso a sinistra"},
    {{4800, 5040, 615, 375}, "casella in basso a destra"},
}};

struct LabelTopic
{
    int code;        // numargomento: 7 to 12 for topics 1 to 6
    QString title;   // shown in txtTITOLO and stored with " (immagine)" behind it
    QString picture; // file in the data folder
    QStringList terms;                   // term k is terms[k - 1]
    std::array<int, DropBoxCount> attesi; // the term number each box expects; 0: box not used
};

inline const QList<LabelTopic> &labelTopics()
{
    static const QList<LabelTopic> topics{
        {7, QStringLiteral("LA DISGREGAZIONE"), QStringLiteral("control1.jpg"),
         {QStringLiteral(" Alberi "), QStringLiteral(" Degradazione provocata dagli incendi"),
          QStringLiteral(" Fessure provocate dalle radici"), QStringLiteral(" Coni detritici "),
          QStringLiteral(" Roccia arrugginita dall'ossigeno "),
          QStringLiteral(" Ghiaccio in espansione nelle fessure"),
          QStringLiteral("Scaglie staccate dall'escursione termica "), QStringLiteral("  Formazione di humus")},
         {2, 8, 7, 5, 3, 1, 0, 0, 6, 4}},
        {8, QStringLiteral("IL VENTO."), QStringLiteral("control2.jpg"),
         {QStringLiteral(" Deflazione "), QStringLiteral(" Sabbia trasportata vicino al suolo "),
          QStringLiteral(" Corrasione "), QStringLiteral(" Loess "), QStringLiteral(" Duna costiera "),
          QStringLiteral("  Duna del deserto")},
         {2, 0, 6, 4, 0, 5, 0, 1, 0, 3}},
        {9, QStringLiteral("I FIUMI."), QStringLiteral("control3.jpg"),
         {QStringLiteral(" Terrazzo fluviale"), QStringLiteral(" Meandro "), QStringLiteral(" Meandro abbandonato "),
          QStringLiteral(" Delta "), QStringLiteral(" Cascata "), QStringLiteral(" Pianura alluvionale "), QStringLiteral(" Conoide "),
          QStringLiteral("Forra ")},
         {0, 6, 4, 3, 1, 2, 0, 5, 8, 7}},
        {10, QStringLiteral("I FENOMENI CARSICI"), QStringLiteral("control4.jpg"),
         {QStringLiteral(" Lago poco profondo "), QStringLiteral(" Fratture naturali della roccia"),
          QStringLiteral(" Terra rossa argillosa"), QStringLiteral("Solchi paralleli con creste "),
          QStringLiteral(" Galleria sotterranea "), QStringLiteral(" Roccia calcarea "),
          QStringLiteral("Inghiottitoio "), QStringLiteral(" Dolina "), QStringLiteral(" Stalattiti e stalagmiti "),
          QStringLiteral(" Conca di più doline unite ")},
         {9, 6, 10, 4, 8, 3, 1, 2, 7, 5}},
        {11, QStringLiteral("I GHIACCIAI"), QStringLiteral("control5.jpg"),
         {QStringLiteral(" Circo glaciale "), QStringLiteral(" Rocce montonate "), QStringLiteral(" Valle laterale sospesa "),
          QStringLiteral(" Morene di fondo "), QStringLiteral(" Morene laterali "), QStringLiteral(" Morene mediane "),
          QStringLiteral(" Morene frontali "), QStringLiteral(" Lago glaciale "), QStringLiteral(" Valle a U "),
          QStringLiteral(" Masso erratico ")},
         {2, 8, 9, 3, 6, 1, 5, 7, 10, 4}},
        {12, QStringLiteral(" IL MARE "), QStringLiteral("control6.jpg"),
         {QStringLiteral(" Falesia "), QStringLiteral(" Spiaggia bassa "), QStringLiteral(" Battigia "),
          QStringLiteral(" Insenatura, baia "), QStringLiteral("Piattaforma di abrasione marina "),
          QStringLiteral(" Laguna "), QStringLiteral(" Tombolo ")},
         {2, 0, 4, 0, 6, 7, 1, 5, 0, 3}},
    };
    return topics;
}

inline const LabelTopic *labelTopic(int code)
{
    for (const LabelTopic &t : labelTopics())
        if (t.code == code)
            return &t;
    return nullptr;
}

} // namespace common
