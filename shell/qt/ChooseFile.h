// The file chooser of the main window: the open-file dialog, with the chosen file handed back
// split into its folder and its bare name.
#pragma once

#include <string>

class QWidget;

namespace varsel::qt {

/// Lets the user pick an existing file.
///
/// `title` is the dialog's title; `description` and `pattern` ("*.txt;*.xls") form its first
/// filter, followed by "All files". `folder` (in: where the dialog opens, the user's home
/// folder when empty; out: the chosen file's folder, ending with the folder separator) and
/// `fileName` (in: the name shown in the dialog; out: the chosen name without folder) change
/// only when a file was chosen. `owner` is the window the dialog belongs to; null means the
/// main window. Returns true when a file was chosen, false on cancel or any failure of the
/// dialog; it never throws.
bool ChooseFile(const std::string& title, const std::string& description,
                const std::string& pattern, std::string& folder, std::string& fileName,
                QWidget* owner);

}  // namespace varsel::qt
