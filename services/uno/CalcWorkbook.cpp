#include "services/uno/CalcWorkbook.h"

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <utility>

#include "services/uno/CalcSheet.h"

namespace varsel::calc {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

CalcWorkbook::CalcWorkbook(std::shared_ptr<CalcSession> session,
                           Reference<css::frame::XModel> document)
    : session_(std::move(session)), document_(std::move(document)) {}

std::string CalcWorkbook::Name() {
    return Calling("read the name of a workbook", [&] {
        const rtl::OUString url = document_->getURL();
        if (!url.isEmpty()) return LastSegment(url);
        const Reference<css::frame::XTitle> title(document_, UNO_QUERY);
        return title.is() ? ToUtf8(title->getTitle()) : std::string();
    });
}

std::string CalcWorkbook::FullPath() {
    return Calling("read the location of a workbook",
                   [&] { return SystemPath(document_->getURL()); });
}

void CalcWorkbook::Activate() {
    Calling("activate the workbook " + Name(), [&] {
        const Reference<css::frame::XController> controller = document_->getCurrentController();
        if (!controller.is()) return;
        const Reference<css::frame::XFrame> frame = controller->getFrame();
        if (!frame.is()) return;
        frame->activate();
        const Reference<css::awt::XTopWindow> window(frame->getContainerWindow(), UNO_QUERY);
        if (window.is()) window->toFront();
    });
}

std::shared_ptr<IWorksheet> CalcWorkbook::ActiveWorksheet() {
    const Reference<css::sheet::XSpreadsheet> sheet =
        Calling("find the active sheet of the workbook " + Name(), [&] {
            const Reference<css::sheet::XSpreadsheetView> view(document_->getCurrentController(),
                                                               UNO_QUERY);
            return view.is() ? view->getActiveSheet() : Reference<css::sheet::XSpreadsheet>();
        });
    if (!sheet.is()) return nullptr;
    session_->SetDataDocument(document_);
    return std::make_shared<CalcSheet>(session_, sheet);
}

std::shared_ptr<IWorksheet> CalcWorkbook::FirstWorksheet() {
    const Reference<css::sheet::XSpreadsheet> sheet =
        Calling("find the first sheet of the workbook " + Name(), [&] {
            Reference<css::sheet::XSpreadsheet> first;
            const Reference<css::sheet::XSpreadsheetDocument> workbook(document_, UNO_QUERY_THROW);
            const Reference<css::container::XIndexAccess> sheets(workbook->getSheets(),
                                                                 UNO_QUERY_THROW);
            if (sheets->getCount() > 0) sheets->getByIndex(0) >>= first;
            return first;
        });
    if (!sheet.is()) return nullptr;
    session_->SetDataDocument(document_);
    return std::make_shared<CalcSheet>(session_, sheet);
}

bool CalcWorkbook::ReadOnly() {
    return Calling("read whether the workbook " + Name() + " is read-only", [&] {
        const Reference<css::frame::XStorable> storable(document_, UNO_QUERY);
        return storable.is() && storable->isReadonly();
    });
}

}  // namespace varsel::calc
