#pragma once
// Every window of the program by name, and the one table of topics: which lesson
// window and which question table each topic code selects. Windows reach each
// other only through the form registry, by these names.

#include <QString>
#include <QVariant>

namespace windows {

inline const QString Fscelte = QStringLiteral("Fscelte");
inline const QString Fanimaz = QStringLiteral("Fanimaz");
inline const QString FQuest = QStringLiteral("FQuest");
inline const QString FQimage = QStringLiteral("FQimage");
inline const QString FSommati = QStringLiteral("FSommati");
inline const QString FRIsomma = QStringLiteral("FRIsomma");
inline const QString frmRISUL = QStringLiteral("frmRISUL");
inline const QString FLIsomm = QStringLiteral("FLIsomm");
inline const QString FAndamento = QStringLiteral("FAndamento");

// Topic codes are the menu button index + 6: 7 to 13 for topics 1 to 7.
inline constexpr int TopicCodeOffset = 6;
inline constexpr int FirstTopicCode = 7;
inline constexpr int LastTopicCode = 13;
inline constexpr int TopicCount = 7;

struct Topic
{
    int number;          // 1 to 7, the menu button index
    const char *lesson;  // the lesson window
    bool questionnaire;  // whether the menu opens its question table
};

inline constexpr Topic Topics[TopicCount] = {
    {1, "fargom", true}, {2, "farg2", true}, {3, "farg3", true}, {4, "farg4", true},
    {5, "farg5", true},  {6, "farg6", true}, {7, "farg7", false},
};

// The topic of a topic code (7 to 13), or nullptr for any other value, no value
// included.
const Topic *topicOfCode(const QVariant &code);
// The topic numbered 1 to 7, or nullptr.
const Topic *topic(int number);

inline QString lessonWindow(const Topic &t) { return QString::fromLatin1(t.lesson); }
// The lesson window of a topic code, or the empty text for any other value.
inline QString lessonWindowOfCode(const QVariant &code)
{
    const Topic *t = topicOfCode(code);
    return t ? lessonWindow(*t) : QString();
}
// "domande" followed by the topic number.
inline QString questionTable(const Topic &t) { return QStringLiteral("domande%1").arg(t.number); }

} // namespace windows
