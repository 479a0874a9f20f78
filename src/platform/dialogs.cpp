#include "dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>

namespace platform {

namespace {
BoxScript *script = nullptr;

QWidget *activeParent()
{
    QWidget *w = QApplication::activeWindow();
    return w && w->isVisible() ? w : nullptr;
}

// A box hands the keyboard back to the window it came from when it closes.
struct GiveBack
{
    QPointer<QWidget> window = activeParent();
    ~GiveBack()
    {
        if (window && window->isVisible())
            window->activateWindow();
    }
};
} // namespace

BoxScript::BoxScript() : outer_(script) { script = this; }
BoxScript::~BoxScript() { script = outer_; }
BoxScript *BoxScript::running() { return script; }

BoxAnswer BoxScript::take(const QString &title, const QString &text, const QStringList &buttons,
                          const QString &proposed)
{
    titles << title;
    texts << text;
    if (answers_.isEmpty()) {
        faults << QStringLiteral("a box nobody expected: ") + text;
        return {};
    }
    BoxAnswer a = answers_.takeFirst();
    if (!buttons.contains(a.button)) {
        faults << QStringLiteral("no button \"%1\" in the box: %2").arg(a.button, text);
        return {};
    }
    if (a.proposed)
        *a.proposed = proposed;
    if (a.meanwhile)
        a.meanwhile();
    return a;
}

Answer msgBox(const QString &prompt, Buttons buttons, const QString &title, Default defaultButton)
{
    const QString ok = QStringLiteral("OK"), yes = QStringLiteral("Sì"), retry = QStringLiteral("Riprova");
    if (BoxScript *s = BoxScript::running()) {
        const QStringList captions = buttons == Buttons::Ok         ? QStringList{ok}
                                     : buttons == Buttons::OkCancel ? QStringList{ok, QStringLiteral("Annulla")}
                                     : buttons == Buttons::YesNo    ? QStringList{yes, QStringLiteral("No")}
                                                                    : QStringList{retry, QStringLiteral("Rinuncia")};
        const QString b = s->take(title, prompt, captions).button;
        if (b == ok)
            return Answer::Ok;
        if (b == yes)
            return Answer::Yes;
        if (b == retry)
            return Answer::Retry;
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::RetryGiveUp:
            return Answer::GiveUp;
        }
    }
    GiveBack giveBack;
    QMessageBox box(giveBack.window);
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setIcon(QMessageBox::NoIcon);
    // Buttons are added in reading order, whatever the desktop's own habit of
    // ordering them; the first is the default unless the caller asks otherwise.
    QPushButton *first = nullptr, *second = nullptr;
    switch (buttons) {
    case Buttons::Ok:
        first = box.addButton(ok, QMessageBox::AcceptRole);
        break;
    case Buttons::OkCancel:
        first = box.addButton(ok, QMessageBox::AcceptRole);
        second = box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
        break;
    case Buttons::YesNo:
        first = box.addButton(yes, QMessageBox::YesRole);
        second = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        break;
    case Buttons::RetryGiveUp:
        first = box.addButton(retry, QMessageBox::AcceptRole);
        second = box.addButton(QStringLiteral("Rinuncia"), QMessageBox::RejectRole);
        break;
    }
    first->setObjectName(QStringLiteral("primo"));
    if (second)
        second->setObjectName(QStringLiteral("secondo"));
    box.setDefaultButton(second && defaultButton == Default::Harmless ? second : first);
    box.setEscapeButton(second ? second : first);
    box.exec();
    const bool firstChosen = box.clickedButton() == first;
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
        return firstChosen ? Answer::Ok : Answer::Cancel;
    case Buttons::YesNo:
        return firstChosen ? Answer::Yes : Answer::No;
    case Buttons::RetryGiveUp:
        return firstChosen ? Answer::Retry : Answer::GiveUp;
    }
    return Answer::Cancel;
}

bool storeOrRetry(const std::function<storage::Status()> &store)
{
    for (;;) {
        const storage::Status stored = store();
        if (stored)
            return true;
        const QString why = QStringLiteral("Il tuo risultato NON è stato registrato:\n%1\n\nIl risultato resta in "
                                           "memoria. Premi Riprova per registrarlo di nuovo (se il disco è pieno, "
                                           "chiedi all'insegnante di liberare spazio).")
                                .arg(stored.error());
        if (msgBox(why, Buttons::RetryGiveUp) == Answer::Retry)
            continue;
        if (msgBox(QStringLiteral("Se rinunci, questo risultato andrà perso. Vuoi davvero rinunciare?"),
                   Buttons::YesNo, AppTitle, Default::Harmless)
            == Answer::Yes)
            return false;
    }
}

namespace {
QString askText(const QString &prompt, const QString &title, const QString &defaultText, bool *cancelled,
                QLineEdit::EchoMode echo)
{
    if (BoxScript *s = BoxScript::running()) {
        const BoxAnswer a = s->take(title, prompt, {QStringLiteral("OK"), QStringLiteral("Annulla")});
        const bool accepted = a.button == QLatin1String("OK");
        if (cancelled)
            *cancelled = !accepted;
        return accepted ? a.text : QString();
    }
    GiveBack giveBack;
    QInputDialog box(giveBack.window);
    box.setObjectName(QStringLiteral("InputBox"));
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    box.setOkButtonText(QStringLiteral("OK"));
    box.setCancelButtonText(QStringLiteral("Annulla"));
    box.setInputMode(QInputDialog::TextInput);
    box.setTextEchoMode(echo);
    const bool accepted = box.exec() == QDialog::Accepted;
    if (cancelled)
        *cancelled = !accepted;
    return accepted ? box.textValue() : QString();
}
} // namespace

QString inputBox(const QString &prompt, const QString &title, const QString &defaultText, bool *cancelled)
{
    return askText(prompt, title, defaultText, cancelled, QLineEdit::Normal);
}

QString passwordBox(const QString &prompt, const QString &title)
{
    return askText(prompt, title, {}, nullptr, QLineEdit::Password);
}

QString saveFileBox(const QString &title, const QString &suggestedName, const QString &filter)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    if (BoxScript *s = BoxScript::running()) {
        const BoxAnswer a = s->take(title, QString(), {QStringLiteral("Salva"), QStringLiteral("Annulla")},
                                    QDir(folder).filePath(suggestedName));
        return a.button == QLatin1String("Salva") ? a.text : QString();
    }
    GiveBack giveBack;
    QFileDialog box(giveBack.window, title);
    box.setObjectName(QStringLiteral("SaveFileBox"));
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setFileMode(QFileDialog::AnyFile);
    box.setNameFilter(filter);
    // The suffix of the filter's pattern: "Documenti PDF (*.pdf)" -> pdf.
    const int star = int(filter.lastIndexOf(QStringLiteral("*.")));
    if (star >= 0)
        box.setDefaultSuffix(filter.mid(star + 2).section(QLatin1Char(')'), 0, 0).section(QLatin1Char(' '), 0, 0));
    box.setDirectory(folder);
    box.selectFile(suggestedName);
    box.setLabelText(QFileDialog::Accept, QStringLiteral("Salva"));
    box.setLabelText(QFileDialog::Reject, QStringLiteral("Annulla"));
    box.setLabelText(QFileDialog::FileName, QStringLiteral("Nome del file:"));
    box.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
    box.setLabelText(QFileDialog::LookIn, QStringLiteral("Cartella:"));
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    return box.selectedFiles().first();
}

} // namespace platform
