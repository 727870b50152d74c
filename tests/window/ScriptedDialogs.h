// Dialogs for window tests: every message box and file dialog is recorded and answered at once,
// so that no test waits on a modal box. A message box gets OK, or for a Yes/No question the
// next answer the test gave in advance (No without one); the file dialog returns the paths the
// test gives in advance, and is cancelled without one.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "shell/qt/Dialogs.h"

namespace varsel::test {

struct RecordedMessage {
    QWidget* Owner;
    QString Text;
    MessageButtons Buttons;
    MessageIcon Icon;
};

struct RecordedFileDialog {
    QWidget* Owner;
    QString Title;
    QString StartFolder;
    QString FileName;
    QStringList Filters;
};

class ScriptedDialogs final : public qt::IDialogs {
  public:
    /// Installs itself for the lifetime of the object.
    ScriptedDialogs() { qt::UseDialogs(this); }
    ~ScriptedDialogs() override { qt::UseDialogs(nullptr); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    std::vector<RecordedMessage> Messages;
    std::vector<RecordedFileDialog> FileDialogs;
    /// Answers to the next Yes/No questions, first first.
    std::deque<MessageAnswer> Answers;
    /// Paths the next open-file dialogs return; nothing means the user cancelled.
    std::deque<std::optional<QString>> ChosenFiles;
    /// What the next save-file dialogs return; cancelled without one.
    std::deque<qt::SaveChoice> ChosenSaves;

    MessageAnswer ShowMessage(QWidget* owner, const QString& text, MessageButtons buttons,
                              MessageIcon icon) override;
    std::optional<QString> ChooseExistingFile(QWidget* owner, const QString& title,
                                              const QString& startFolder, const QString& fileName,
                                              const QStringList& filters) override;
    std::optional<qt::SaveChoice> ChooseSaveFile(QWidget* owner, const QString& title,
                                                 const QString& startFolder,
                                                 const QString& fileName,
                                                 const QStringList& filters) override;
};

}  // namespace varsel::test
