#include "window/ScriptedDialogs.h"

namespace varsel::test {

MessageAnswer ScriptedDialogs::ShowMessage(QWidget* owner, const QString& text,
                                           MessageButtons buttons, MessageIcon icon) {
    Messages.push_back({owner, text, buttons, icon});
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

std::optional<QString> ScriptedDialogs::ChooseExistingFile(QWidget* owner, const QString& title,
                                                           const QString& startFolder,
                                                           const QString& fileName,
                                                           const QStringList& filters) {
    FileDialogs.push_back({owner, title, startFolder, fileName, filters});
    if (ChosenFiles.empty()) return std::nullopt;
    std::optional<QString> chosen = ChosenFiles.front();
    ChosenFiles.pop_front();
    return chosen;
}

}  // namespace varsel::test
