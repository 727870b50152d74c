#include "shell/qt/Dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace varsel::qt {

namespace {

IDialogs* g_installed = nullptr;

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MessageAnswer QtDialogs::ShowMessage(QWidget* owner, const QString& text, MessageButtons buttons,
                                     MessageIcon icon) {
    const bool yesNo = buttons == MessageButtons::YesNo;
    QMessageBox box(ToQtIcon(icon), QString::fromLatin1(kMessageTitle), text,
                    yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, owner);
    // Messages are plain text: a file name with "<" must not turn into markup. The run ends
    // lines with CR LF, which a label would show as a stray glyph.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    if (yesNo) {
        // Enter must not save a state after a failure, nor fit anyway: the careful answer is
        // the default.
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    const int pressed = box.exec();
    if (!yesNo) return MessageAnswer::Ok;
    return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<QString> QtDialogs::ChooseExistingFile(QWidget* owner, const QString& title,
                                                     const QString& startFolder,
                                                     const QString& fileName,
                                                     const QStringList& filters) {
    QFileDialog dialog(owner, title, startFolder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
    if (!fileName.isEmpty()) dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen.front());
}

IDialogs& ActiveDialogs() {
    static QtDialogs real;
    return g_installed != nullptr ? *g_installed : real;
}

void UseDialogs(IDialogs* dialogs) {
    g_installed = dialogs;
}

}  // namespace varsel::qt
