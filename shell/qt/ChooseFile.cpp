#include "shell/qt/ChooseFile.h"

#include <QApplication>
#include <QDir>
#include <QWidget>
#include <exception>

#include "shell/FileChoice.h"
#include "shell/qt/Dialogs.h"

namespace varsel::qt {

namespace {

// The main window is the top-level widget named after its form.
QWidget* MainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("Form1")) return widget;
    return nullptr;
}

}  // namespace

bool ChooseFile(const std::string& title, const std::string& description,
                const std::string& pattern, std::string& folder, std::string& fileName,
                QWidget* owner) {
    try {
        const std::string start =
            DialogStartFolder(folder, QDir::toNativeSeparators(QDir::homePath()).toStdString());
        QStringList filters;
        for (const std::string& filter : FileFilters(description, pattern))
            filters.push_back(QString::fromStdString(filter));
        const std::optional<QString> chosen = ActiveDialogs().ChooseExistingFile(
            owner != nullptr ? owner : MainWindow(), QString::fromStdString(title),
            QString::fromStdString(start), QString::fromStdString(fileName), filters);
        if (!chosen) return false;
        std::string chosenFolder;
        std::string chosenName;
        if (!SplitChosenPath(QDir::toNativeSeparators(*chosen).toStdString(), chosenFolder,
                             chosenName))
            return false;
        folder = chosenFolder;
        fileName = chosenName;
        return true;
    } catch (const std::exception&) {
        // The caller treats a failing dialog like a cancelled one.
        return false;
    }
}

}  // namespace varsel::qt
