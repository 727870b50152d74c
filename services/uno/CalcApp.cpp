#include "services/uno/CalcApp.h"

#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <filesystem>
#include <utility>

#include "services/uno/CalcWorkbook.h"

namespace varsel::calc {

using css::uno::Reference;
using css::uno::UNO_QUERY;

namespace {

bool IsSpreadsheet(const Reference<css::frame::XModel>& document) {
    return Reference<css::sheet::XSpreadsheetDocument>(document, UNO_QUERY).is();
}

}  // namespace

CalcApp::CalcApp(std::shared_ptr<CalcSession> session) : session_(std::move(session)) {}

void CalcApp::SetVisible(bool visible) {
    Calling(visible ? "show its windows" : "hide its windows", [&] {
        for (const Reference<css::frame::XFrame>& frame : session_->Frames()) {
            const Reference<css::awt::XWindow> window = frame->getContainerWindow();
            if (window.is()) window->setVisible(visible);
        }
    });
}

std::vector<Reference<css::frame::XModel>> CalcApp::OpenSpreadsheets() {
    return Calling("list its open documents", [&] {
        std::vector<Reference<css::frame::XModel>> documents;
        const Reference<css::container::XEnumeration> all =
            session_->Desktop()->getComponents()->createEnumeration();
        while (all->hasMoreElements()) {
            const Reference<css::frame::XModel> document(all->nextElement(), UNO_QUERY);
            if (IsSpreadsheet(document)) documents.push_back(document);
        }
        return documents;
    });
}

int CalcApp::WorkbookCount() {
    listed_ = OpenSpreadsheets();
    return static_cast<int>(listed_.size());
}

std::shared_ptr<IWorkbook> CalcApp::Workbook(int index) {
    if (index < 1 || index > static_cast<int>(listed_.size())) listed_ = OpenSpreadsheets();
    if (index < 1 || index > static_cast<int>(listed_.size())) {
        std::string text = "There is no open workbook number ";
        text += std::to_string(index);
        text += " (";
        text += std::to_string(listed_.size());
        text += " are open)";
        throw RuntimeFailure(kSubscriptOutOfRange, text);
    }
    return std::make_shared<CalcWorkbook>(session_, listed_[static_cast<std::size_t>(index - 1)]);
}

std::shared_ptr<IWorkbook> CalcApp::ActiveWorkbook() {
    const Reference<css::frame::XModel> current = Calling("find its current document", [&] {
        return Reference<css::frame::XModel>(session_->Desktop()->getCurrentComponent(), UNO_QUERY);
    });
    if (!IsSpreadsheet(current)) return nullptr;
    return std::make_shared<CalcWorkbook>(session_, current);
}

std::shared_ptr<IWorkbook> CalcApp::OpenWorkbook(const std::string& fullPath) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(fullPath, error)) {
        throw RuntimeFailure(kFileNotFound, "The workbook " + fullPath + " does not exist");
    }
    const Reference<css::frame::XModel> document = Calling("open the workbook " + fullPath, [&] {
        const Reference<css::frame::XComponentLoader> loader(session_->Desktop(),
                                                             css::uno::UNO_QUERY_THROW);
        // "_default" gives an already open copy of the same file instead of a second one,
        // and takes the place of an empty start window.
        const Reference<css::lang::XComponent> loaded = loader->loadComponentFromURL(
            FileUrl(fullPath), "_default", 0, css::uno::Sequence<css::beans::PropertyValue>());
        return Reference<css::frame::XModel>(loaded, UNO_QUERY);
    });
    if (!document.is()) {
        throw RuntimeFailure(kSpreadsheetFailure,
                             "LibreOffice Calc did not open the workbook " + fullPath +
                                 " (was the opening cancelled, or is the file locked?)");
    }
    if (!IsSpreadsheet(document)) {
        throw RuntimeFailure(kSpreadsheetFailure,
                             "LibreOffice opened " + fullPath +
                                 " as a document of another kind: it is not a workbook");
    }
    return std::make_shared<CalcWorkbook>(session_, document);
}

bool CalcApp::DisplayStatusBar() {
    return session_->StatusBarVisible();
}

void CalcApp::SetDisplayStatusBar(bool display) {
    session_->SetStatusBarVisible(display);
}

void CalcApp::SetStatusBar(const std::string& text) {
    session_->ShowStatus(text);
}

void CalcApp::ResetStatusBar() {
    session_->EndStatus();
}

void CalcApp::SetInteractive(bool interactive) {
    session_->SetInputEnabled(interactive);
}

void CalcApp::SetScreenUpdating(bool updating) {
    session_->SetScreenUpdating(updating);
}

}  // namespace varsel::calc
