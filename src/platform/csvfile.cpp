#include "csvfile.h"

#include "storage/datapath.h"

#include <QDir>
#include <QLocale>
#include <QSaveFile>

namespace platform {

namespace {

// A spreadsheet runs a cell that opens like a formula, whoever typed it (a
// pupil's name "-2+3+cmd|..." included): such a cell gets a leading quote and
// stays text. A number the program wrote ("-2", "7,5") stays a number.
bool opensLikeFormula(const QString &text)
{
    if (text.isEmpty())
        return false;
    if (QStringLiteral("=+@\t\r").contains(text.front()))
        return true;
    if (!text.startsWith(QLatin1Char('-')) || text.size() == 1)
        return false;
    bool number = false;
    QLocale(QLocale::Italian, QLocale::Italy).toDouble(text, &number);
    return !number;
}

QString field(QString text)
{
    if (opensLikeFormula(text))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

QString line(const QStringList &fields)
{
    QStringList out;
    for (const QString &f : fields)
        out << field(f);
    return out.join(QLatin1Char(';')) + QStringLiteral("\r\n");
}

} // namespace

QByteArray csvText(const QStringList &headings, const QList<QStringList> &rows)
{
    QString text = line(headings);
    for (const QStringList &row : rows)
        text += line(row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool writeCsv(const QString &file, const QStringList &headings, const QList<QStringList> &rows, QString *error)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(csvText(headings, rows)) < 0 || !out.commit()) {
        *error = QStringLiteral("il file \"%1\" non si può scrivere (%2).")
                     .arg(QDir::toNativeSeparators(file), storage::whyNotSaved(file));
        return false;
    }
    return true;
}

} // namespace platform
