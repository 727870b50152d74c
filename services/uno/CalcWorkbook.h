// A spreadsheet document open in Calc, seen as a workbook: its file name, activating its
// window, and its active or first sheet. The program never saves or closes it.
#pragma once

#include <com/sun/star/frame/XModel.hpp>
#include <memory>
#include <string>

#include "services/Spreadsheet.h"
#include "services/uno/CalcSession.h"

namespace varsel::calc {

class CalcWorkbook : public IWorkbook {
  public:
    CalcWorkbook(std::shared_ptr<CalcSession> session,
                 css::uno::Reference<css::frame::XModel> document);

    /// The file name from the document's URL (decoded, without folder); the window title for
    /// a document never saved.
    std::string Name() override;
    /// The local path of the document's URL; empty for an unsaved or non-local document.
    std::string FullPath() override;
    void Activate() override;
    std::shared_ptr<IWorksheet> ActiveWorksheet() override;
    std::shared_ptr<IWorksheet> FirstWorksheet() override;
    bool ReadOnly() override;

  private:
    std::shared_ptr<CalcSession> session_;
    css::uno::Reference<css::frame::XModel> document_;
};

}  // namespace varsel::calc
