#pragma once
// Message boxes and the input box. Titles default to the program's name.

#include <QString>

class QWidget;

namespace platform {

inline const QString AppTitle = QStringLiteral("Valdoria");

enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

// Shows `prompt` and waits for an answer. Closing the box counts as Cancel (or No).
Answer msgBox(const QString &prompt, Buttons buttons = Buttons::Ok, const QString &title = AppTitle);

// Asks for a line of text; Cancel, or closing the box, gives the empty text
// (and sets *cancelled, when asked for, so a caller can tell the two apart).
QString inputBox(const QString &prompt, const QString &title = AppTitle, const QString &defaultText = {},
                 bool *cancelled = nullptr);

// Asks where to save a file, proposing `suggestedName` in the user's documents
// folder (the home folder when there is none); the empty text when the user
// gives up. The file gets the filter's suffix if none is typed.
QString saveFileBox(const QString &title, const QString &suggestedName, const QString &filter);

} // namespace platform
