#include "printer.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace platform {

namespace {
QString outputFile;
}

void PrintJob::setOutputFile(const QString &pdfPath) { outputFile = pdfPath; }

void PrintJob::tab(int column)
{
    const int target = std::max(column, 1) - 1;
    if (current_.size() > target) {
        endLine();
    }
    open_ = true;
    current_ += QString(target - current_.size(), QLatin1Char(' '));
}

void PrintJob::text(const QString &item)
{
    open_ = true;
    current_ += item;
}

void PrintJob::endLine()
{
    done_ << current_;
    current_.clear();
    open_ = false;
}

QStringList PrintJob::lines() const
{
    QStringList all = done_;
    if (open_)
        all << current_;
    return all;
}

bool PrintJob::endDoc(QString *error)
{
    QPrinter printer(outputFile.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo());
    if (outputFile.isEmpty()) {
        if (QPrinterInfo::defaultPrinter().isNull()) {
            *error = QStringLiteral("Non è configurata nessuna stampante predefinita.");
            return false;
        }
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputFile);
    }
    printer.setDocName(QStringLiteral("Valdoria"));
    QPainter p;
    if (!p.begin(&printer)) {
        *error = QStringLiteral("La stampante non ha accettato il lavoro di stampa.");
        return false;
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(10);
    p.setFont(font);
    const QFontMetrics fm(font, &printer);
    const int lineHeight = fm.lineSpacing();
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    int y = fm.ascent();
    for (const QString &line : lines()) {
        if (y > page.height()) {
            if (!printer.newPage()) {
                p.end();
                *error = QStringLiteral("La stampante non ha accettato una nuova pagina.");
                return false;
            }
            y = fm.ascent();
        }
        p.drawText(0, y, line);
        y += lineHeight;
    }
    if (!p.end()) {
        *error = QStringLiteral("La stampa non si è potuta completare.");
        return false;
    }
    done_.clear();
    current_.clear();
    open_ = false;
    return true;
}

} // namespace platform
