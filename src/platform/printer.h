#pragma once
// The default printer, written line by line with items placed at character
// columns: tab(n) goes on at column n (1-based) of the current line, or of the
// next line when the current one has already passed it. Lines are printed in a
// fixed-pitch face, so that columns line up on paper; the heading repeats at
// the top of every page.

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

namespace platform {

class PrintJob
{
public:
    void tab(int column);
    void text(const QString &item);
    void endLine();
    // A picture on lines of its own, as wide as the page (or as high).
    void picture(const QImage &image);
    // The lines written so far are the heading of every page.
    void markHeading();
    // The lines written so far, the current one included.
    QStringList lines() const;

    // Sends the pages to the default printer. False, with a reason, when there
    // is none or it refused the job.
    bool endDoc(QString *error);
    // Writes the pages to a PDF file, whole or not at all.
    bool savePdf(const QString &file, QString *error);

    static bool hasDefaultPrinter();

    // Tests: "the default printer" writes to this PDF file; with `none`, the
    // machine has no printer at all. Empty path and none = false: the real one.
    static void setOutputFile(const QString &pdfPath, bool none = false);

private:
    bool paint(QPagedPaintDevice &device, QString *error) const;
    QStringList done_;
    QList<QImage> pictures_; // a line "\x01n" stands for picture n
    QString current_;
    bool open_ = false;
    int headingLines_ = 0;
};

// Prints on the default printer; with none (as on many school PCs) says so and
// offers to save the listing as a PDF file, `suggestedName` in the user's
// documents folder. Every failure is told; nothing else changes.
void printOrSave(PrintJob &job, const QString &suggestedName);

} // namespace platform
