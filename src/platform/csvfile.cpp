#include "csvfile.h"

#include <QDir>
#include <QSaveFile>

namespace platform {

namespace {

QString field(QString text)
{
    if (!text.isEmpty() && QStringLiteral("=+@").contains(text.front()))
        text.prepend(QLatin1Char('\''));
    else if (text.startsWith(QLatin1Char('-')) && text.size() > 1 && !text.at(1).isDigit())
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
                     .arg(QDir::toNativeSeparators(file), out.errorString());
        return false;
    }
    return true;
}

} // namespace platform
