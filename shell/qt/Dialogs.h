// The window's modal dialogs behind one small interface: message boxes and the open-file and
// save-file dialogs. The program uses QMessageBox and QFileDialog; a test installs its own answers
// in advance, so that no test ever waits on a modal box.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "varsel/Window.h"

class QWidget;

namespace varsel::qt {

/// What the save-file dialog gave: the path as typed or picked, and the filter in effect.
struct SaveChoice {
    QString Path;
    QString Filter;
};

class IDialogs {
  public:
    virtual ~IDialogs() = default;

    /// Shows a modal message box titled "Varsel" over `owner` and returns the button pressed.
    /// A Yes/No box closed without an answer counts as No.
    virtual MessageAnswer ShowMessage(QWidget* owner, const QString& text, MessageButtons buttons,
                                      MessageIcon icon) = 0;

    /// Shows the open-file dialog for an existing file. `startFolder` is where it opens,
    /// `fileName` the name shown in its name field, `filters` its filter list ("Name (*.a
    /// *.b)"), the first in effect. Returns the chosen full path, or nothing on cancel.
    virtual std::optional<QString> ChooseExistingFile(QWidget* owner, const QString& title,
                                                      const QString& startFolder,
                                                      const QString& fileName,
                                                      const QStringList& filters) = 0;

    /// Shows the save-file dialog, opening in `startFolder` with `fileName` in its name field
    /// and the first of `filters` in effect. Returns the path and the filter chosen, or
    /// nothing on cancel.
    virtual std::optional<SaveChoice> ChooseSaveFile(QWidget* owner, const QString& title,
                                                     const QString& startFolder,
                                                     const QString& fileName,
                                                     const QStringList& filters) = 0;
};

/// The real dialogs: QMessageBox and QFileDialog.
class QtDialogs final : public IDialogs {
  public:
    MessageAnswer ShowMessage(QWidget* owner, const QString& text, MessageButtons buttons,
                              MessageIcon icon) override;
    std::optional<QString> ChooseExistingFile(QWidget* owner, const QString& title,
                                              const QString& startFolder, const QString& fileName,
                                              const QStringList& filters) override;
    std::optional<SaveChoice> ChooseSaveFile(QWidget* owner, const QString& title,
                                             const QString& startFolder, const QString& fileName,
                                             const QStringList& filters) override;
};

/// The dialogs in use: the real ones unless UseDialogs installed others.
IDialogs& ActiveDialogs();

/// Installs `dialogs` for every later dialog; null puts the real ones back.
void UseDialogs(IDialogs* dialogs);

}  // namespace varsel::qt
