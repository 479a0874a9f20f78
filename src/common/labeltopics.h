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
    // What the picture shows at each box, for a screen reader, in words that do
    // not give the term away; empty for a box not used.
    std::array<const char *, DropBoxCount> seen;
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
         {2, 8, 7, 5, 3, 1, 0, 0, 6, 4},
         {"le fiamme tra i cespugli secchi", "lo strato scuro sotto l'erba",
         "la roccia chiara a gusci che si sfogliano", "la parete rossastra in cima alla rupe",
         "l'albero cresciuto nella spaccatura della rupe", "le piante verdi a sinistra",
         "", "",
         "il masso spaccato con il cristallo blu", "il mucchio di sassi ai piedi della parete"}},
        {8, QStringLiteral("IL VENTO."), QStringLiteral("control2.jpg"),
         {QStringLiteral(" Deflazione "), QStringLiteral(" Sabbia trasportata vicino al suolo "),
          QStringLiteral(" Corrasione "), QStringLiteral(" Loess "), QStringLiteral(" Duna costiera "),
          QStringLiteral("  Duna del deserto")},
         {2, 0, 6, 4, 0, 5, 0, 1, 0, 3},
         {"i granelli spinti rasoterra dalle frecce", "",
         "il rilievo di sabbia in mezzo al deserto", "la parete gialla di polvere a strati",
         "", "il rilievo di sabbia in riva al mare, con ciuffi d'erba",
         "", "il terreno coperto solo di ciottoli",
         "", "la roccia a forma di fungo"}},
        {9, QStringLiteral("I FIUMI."), QStringLiteral("control3.jpg"),
         {QStringLiteral(" Terrazzo fluviale"), QStringLiteral(" Meandro "), QStringLiteral(" Meandro abbandonato "),
          QStringLiteral(" Delta "), QStringLiteral(" Cascata "), QStringLiteral(" Pianura alluvionale "), QStringLiteral(" Conoide "),
          QStringLiteral("Forra ")},
         {0, 6, 4, 3, 1, 2, 0, 5, 8, 7},
         {"", "la piana verde e coltivata lungo il fiume",
         "la foce aperta a ventaglio nel mare", "l'ansa a ferro di cavallo staccata dal fiume",
         "i gradini di terreno con le case", "la curva ampia del fiume in alto",
         "", "l'acqua che cade dal gradino di roccia",
         "la gola stretta e profonda tra le rocce", "il ventaglio di detriti allo sbocco della valle"}},
        {10, QStringLiteral("I FENOMENI CARSICI"), QStringLiteral("control4.jpg"),
         {QStringLiteral(" Lago poco profondo "), QStringLiteral(" Fratture naturali della roccia"),
          QStringLiteral(" Terra rossa argillosa"), QStringLiteral("Solchi paralleli con creste "),
          QStringLiteral(" Galleria sotterranea "), QStringLiteral(" Roccia calcarea "),
          QStringLiteral("Inghiottitoio "), QStringLiteral(" Dolina "), QStringLiteral(" Stalattiti e stalagmiti "),
          QStringLiteral(" Conca di più doline unite ")},
         {9, 6, 10, 4, 8, 3, 1, 2, 7, 5},
         {"la grotta con le colonne che scendono e salgono", "gli strati chiari di roccia",
         "la grande conca verde con più avvallamenti", "la roccia bianca segnata da solchi e creste",
         "l'avvallamento tondo nel prato", "la macchia rossa sul terreno",
         "l'acqua ferma e bassa a sinistra", "le spaccature nere nella roccia",
         "il pozzo in cui scende l'acqua", "il condotto d'acqua sotto terra"}},
        {11, QStringLiteral("I GHIACCIAI"), QStringLiteral("control5.jpg"),
         {QStringLiteral(" Circo glaciale "), QStringLiteral(" Rocce montonate "), QStringLiteral(" Valle laterale sospesa "),
          QStringLiteral(" Morene di fondo "), QStringLiteral(" Morene laterali "), QStringLiteral(" Morene mediane "),
          QStringLiteral(" Morene frontali "), QStringLiteral(" Lago glaciale "), QStringLiteral(" Valle a U "),
          QStringLiteral(" Masso erratico ")},
         {2, 8, 9, 3, 6, 1, 5, 7, 10, 4},
         {"i dossi di roccia lisciata in basso", "l'acqua blu ferma nella valle",
         "la valle dal fondo largo e tondo", "la valle piccola in alto da cui scende una cascata",
         "la striscia scura in mezzo al ghiaccio", "la conca in cima da cui parte il ghiaccio",
         "le strisce di detriti ai lati del ghiaccio", "l'arco di detriti davanti al ghiaccio",
         "il grande masso isolato nel prato", "i sassi misti sparsi sul fondo della valle"}},
        {12, QStringLiteral(" IL MARE "), QStringLiteral("control6.jpg"),
         {QStringLiteral(" Falesia "), QStringLiteral(" Spiaggia bassa "), QStringLiteral(" Battigia "),
          QStringLiteral(" Insenatura, baia "), QStringLiteral("Piattaforma di abrasione marina "),
          QStringLiteral(" Laguna "), QStringLiteral(" Tombolo ")},
         {2, 0, 4, 0, 6, 7, 1, 5, 0, 3},
         {"la distesa di sabbia sul mare", "",
         "il tratto di mare che entra nella costa", "",
         "lo specchio d'acqua chiuso dietro la costa", "la striscia di sabbia che unisce l'isolotto alla costa",
         "la parete di roccia a picco sul mare", "il ripiano di roccia spianato dalle onde ai piedi della parete",
         "", "la linea dove le onde toccano la sabbia"}},
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
