#include "printer.h"

#include "dialogs.h"
#include "ondemand.h"

#include "storage/datapath.h"

#include <QDir>
#include <QFontDatabase>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStandardPaths>

#include <memory>

namespace platform {

namespace {
QString outputFile;
bool noPrinter = false;
constexpr double PrintPoints = 10;
constexpr int PdfResolution = 300;
constexpr double PageMarginMm = 15;
} // namespace

void PrintJob::setOutputFile(const QString &pdfPath, bool none)
{
    outputFile = pdfPath;
    noPrinter = none;
}

void PrintJob::tab(int column)
{
    const int target = std::max(column, 1) - 1;
    if (current_.size() > target)
        endLine();
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

void PrintJob::picture(const QImage &image)
{
    if (open_)
        endLine();
    done_ << QStringLiteral("\x01%1").arg(pictures_.size());
    pictures_ << image;
}

void PrintJob::markHeading()
{
    if (open_)
        endLine();
    headingLines_ = int(done_.size());
}

QStringList PrintJob::lines() const
{
    QStringList all;
    for (const QString &line : done_)
        if (!line.startsWith(QLatin1Char('\x01')))
            all << line;
    if (open_)
        all << current_;
    return all;
}

bool PrintJob::hasDefaultPrinter()
{
    if (noPrinter)
        return false;
    if (!outputFile.isEmpty())
        return true;
    const ondemand::Functions *module = ondemand::functions();
    return module && module->hasDefaultPrinter();
}

bool PrintJob::paint(QPagedPaintDevice &device, QString *error) const
{
    device.setPageMargins(QMarginsF(PageMarginMm, PageMarginMm, PageMarginMm, PageMarginMm), QPageLayout::Millimeter);
    QPainter p;
    if (!p.begin(&device)) {
        *error = QStringLiteral("la stampante non ha accettato il lavoro di stampa.");
        return false;
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(PrintPoints);
    p.setFont(font);
    const QFontMetrics fm(font, &device);
    const int lineHeight = fm.lineSpacing();
    const int pageHeight = device.pageLayout().paintRectPixels(device.logicalDpiY()).height();
    const int pageWidth = device.pageLayout().paintRectPixels(device.logicalDpiX()).width();
    QStringList all = done_;
    if (open_)
        all << current_;
    const QStringList heading = all.mid(0, headingLines_);
    int y = fm.ascent();
    for (int i = 0; i < all.size(); ++i) {
        QSize pictureSize;
        if (all[i].startsWith(QLatin1Char('\x01')))
            pictureSize = pictures_.value(all[i].mid(1).toInt()).size().scaled(pageWidth, pageHeight / 2,
                                                                               Qt::KeepAspectRatio);
        if (y + pictureSize.height() > pageHeight - fm.descent()) {
            if (!device.newPage()) {
                p.end();
                *error = QStringLiteral("la stampante non ha accettato una nuova pagina.");
                return false;
            }
            y = fm.ascent();
            for (const QString &h : heading) {
                p.drawText(0, y, h);
                y += lineHeight;
            }
        }
        if (pictureSize.isValid()) {
            p.drawImage(QRect(QPoint(0, y), pictureSize), pictures_.value(all[i].mid(1).toInt()));
            y += pictureSize.height() + lineHeight;
            continue;
        }
        p.drawText(0, y, all[i]);
        y += lineHeight;
    }
    if (!p.end()) {
        *error = QStringLiteral("la stampa non si è potuta completare.");
        return false;
    }
    return true;
}

bool PrintJob::endDoc(QString *error)
{
    if (!outputFile.isEmpty() && !noPrinter)
        return savePdf(outputFile, error);
    QString fault;
    const ondemand::Functions *module = ondemand::functions(&fault);
    if (!module) {
        *error = fault;
        return false;
    }
    if (!module->hasDefaultPrinter()) {
        *error = QStringLiteral("su questo computer non c'è una stampante predefinita.");
        return false;
    }
    const std::unique_ptr<QPagedPaintDevice> printer(module->defaultPrinter());
    return paint(*printer, error);
}

bool PrintJob::savePdf(const QString &file, QString *error)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("il file \"%1\" non si può scrivere (%2).")
                     .arg(QDir::toNativeSeparators(file), storage::whyNotSaved(file));
        return false;
    }
    {
        QPdfWriter writer(&out);
        writer.setResolution(PdfResolution);
        writer.setTitle(QStringLiteral("Valdoria"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        if (!paint(writer, error)) {
            out.cancelWriting();
            return false;
        }
    }
    if (!out.commit()) {
        *error = QStringLiteral("il file \"%1\" non si è potuto scrivere (%2).")
                     .arg(QDir::toNativeSeparators(file), storage::whyNotSaved(file));
        return false;
    }
    return true;
}

void printOrSave(PrintJob &job, const QString &suggestedName)
{
    QString error;
    if (PrintJob::hasDefaultPrinter()) {
        if (!job.endDoc(&error))
            msgBox(QStringLiteral("La stampa non è riuscita: %1\nI risultati restano nell'archivio.").arg(error));
        return;
    }
    if (msgBox(QStringLiteral("Su questo computer non c'è una stampante predefinita.\n"
                              "Vuoi salvare l'elenco in un file PDF, da stampare più tardi?"),
               Buttons::YesNo)
        != Answer::Yes)
        return;
    const QString file =
        saveFileBox(QStringLiteral("Salva l'elenco come PDF"), suggestedName, QStringLiteral("Documenti PDF (*.pdf)"));
    if (file.isEmpty())
        return;
    if (!job.savePdf(file, &error)) {
        msgBox(QStringLiteral("L'elenco non è stato salvato: %1\nI risultati restano nell'archivio.").arg(error));
        return;
    }
    msgBox(QStringLiteral("L'elenco è stato salvato nel file\n%1").arg(QDir::toNativeSeparators(file)));
}

} // namespace platform
