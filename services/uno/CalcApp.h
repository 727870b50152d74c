// The running office seen as the spreadsheet application: its open spreadsheet documents,
// opening one, and the status bar, input lock and screen updating of the data workbook.
#pragma once

#include <com/sun/star/frame/XModel.hpp>
#include <memory>
#include <string>
#include <vector>

#include "services/Spreadsheet.h"
#include "services/uno/CalcSession.h"

namespace varsel::calc {

class CalcApp : public ISpreadsheetApp {
  public:
    explicit CalcApp(std::shared_ptr<CalcSession> session);

    void SetVisible(bool visible) override;
    /// Number of open spreadsheet documents (other kinds of documents are not workbooks).
    int WorkbookCount() override;
    std::shared_ptr<IWorkbook> Workbook(int index) override;
    /// The office's current document when it is a spreadsheet; null otherwise.
    std::shared_ptr<IWorkbook> ActiveWorkbook() override;
    /// Opens the workbook; a file that does not exist, or that the office does not open as a
    /// spreadsheet, raises a RuntimeFailure whose text names the file and the reason.
    std::shared_ptr<IWorkbook> OpenWorkbook(const std::string& fullPath) override;
    bool DisplayStatusBar() override;
    void SetDisplayStatusBar(bool display) override;
    void SetStatusBar(const std::string& text) override;
    void ResetStatusBar() override;
    void SetInteractive(bool interactive) override;
    void SetScreenUpdating(bool updating) override;

  private:
    std::vector<css::uno::Reference<css::frame::XModel>> OpenSpreadsheets();

    std::shared_ptr<CalcSession> session_;
    // The documents as counted by the last WorkbookCount(), so that item i stays the same
    // document while the caller walks the list.
    std::vector<css::uno::Reference<css::frame::XModel>> listed_;
};

}  // namespace varsel::calc
