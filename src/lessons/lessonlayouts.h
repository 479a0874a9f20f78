#pragma once
// The design of each lesson window: where its controls stand, and what its
// navigation click areas are called.

#include "platform/twips.h"

#include <QList>
#include <QString>

namespace lessons {

struct NavNames
{
    const char *avanti, *indietro, *rivedi, *quest, *scegli, *uscita;
};

inline constexpr NavNames TopicOneNames{"Labavanti", "Labindietro", "labrivedi", "labquest", "Labscegli", "Labesco"};
inline constexpr NavNames StandardNames{"cmdAVANTI", "Cmdindietro", "Cmdrivedi", "cmdquest", "cmdscegli", "cmduscita"};

struct LessonLayout
{
    int topic; // 1 to 7: the window is the topic's lesson window
    NavNames names;
    platform::TwRect labeltit, image1, label1, image2, cmdanimazione;
    platform::TwRect label2;   // zero width: the window has no bar beside the text
    platform::TwRect uscita, scegli, quest, rivedi, indietro, avanti;

    QString window() const;
    // Whether the topic has a questionnaire; without one, Label4 stands where
    // cmdquest would be.
    bool hasQuestionnaire() const;
};

const QList<LessonLayout> &lessonLayouts();
const LessonLayout *lessonLayout(const QString &window);

} // namespace lessons
