#pragma once
// The default printer, written line by line with items placed at character
// columns: tab(n) goes on at column n (1-based) of the current line, or of the
// next line when the current one has already passed it.

#include <QString>
#include <QStringList>

namespace platform {

class PrintJob
{
public:
    void tab(int column);
    void text(const QString &item);
    void endLine();
    // The lines written so far, the current one included.
    QStringList lines() const;
    // Sends the page(s) to the default printer (or to the output file set for
    // tests). False, with a reason, when there is no printer or it refused.
    bool endDoc(QString *error);

    // Print to a PDF file instead of the default printer (tests); empty: printer.
    static void setOutputFile(const QString &pdfPath);

private:
    QStringList done_;
    QString current_;
    bool open_ = false;
};

} // namespace platform
