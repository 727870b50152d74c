#include "window/ScriptedDialogs.h"

namespace varsel::test {

MessageAnswer ScriptedDialogs::ShowMessage(QWidget* owner, const QString& text,
                                           MessageButtons buttons, MessageIcon icon) {
    Messages.push_back({owner, text, buttons, icon});
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    if (Answers.empty()) return MessageAnswer::No;
    const MessageAnswer answer = Answers.front();
    Answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::ChooseExistingFile(QWidget* owner, const QString& title,
                                                           const QString& startFolder,
                                                           const QString& fileName,
                                                           const QStringList& filters) {
    FileDialogs.push_back({owner, title, startFolder, fileName, filters});
    if (ChosenFiles.empty() || !ChosenFiles.front()) {
        if (!ChosenFiles.empty()) ChosenFiles.pop_front();
        return std::nullopt;
    }
    // The path itself, not the optional: GCC 12 takes the copied optional's string for
    // possibly uninitialised in an optimised build.
    QString chosen = *ChosenFiles.front();
    ChosenFiles.pop_front();
    return chosen;
}

std::optional<qt::SaveChoice> ScriptedDialogs::ChooseSaveFile(QWidget* owner, const QString& title,
                                                              const QString& startFolder,
                                                              const QString& fileName,
                                                              const QStringList& filters) {
    FileDialogs.push_back({owner, title, startFolder, fileName, filters});
    if (ChosenSaves.empty()) return std::nullopt;
    const qt::SaveChoice chosen = ChosenSaves.front();
    ChosenSaves.pop_front();
    return chosen;
}

}  // namespace varsel::test
