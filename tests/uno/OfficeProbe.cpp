#include "OfficeProbe.h"

#include <charconv>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XLayoutManager.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <stdexcept>

#include "services/uno/UnoBridge.h"

namespace varsel::test {

using css::beans::PropertyValue;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

PropertyValue Property(const char* name, const Any& value) {
    PropertyValue property;
    property.Name = rtl::OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

rtl::OUString FilterFor(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    if (extension == ".xls") return "MS Excel 97";
    if (extension == ".xlsx") return "Calc MS Excel 2007 XML";
    if (extension == ".ods") return "calc8";
    throw std::invalid_argument("no workbook format for " + file.string());
}

bool IsNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

std::vector<Reference<css::frame::XFrame>> FramesOf(const Reference<css::frame::XDesktop2>& desktop,
                                                    const Reference<css::frame::XModel>& model) {
    std::vector<Reference<css::frame::XFrame>> frames;
    const Reference<css::container::XIndexAccess> all(desktop->getFrames(), UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < all->getCount(); ++i) {
        Reference<css::frame::XFrame> frame;
        all->getByIndex(i) >>= frame;
        if (frame.is() && frame->getController().is() &&
            frame->getController()->getModel() == model) {
            frames.push_back(frame);
        }
    }
    return frames;
}

bool ElementVisible(const Reference<css::frame::XFrame>& frame, const char* element) {
    Reference<css::frame::XLayoutManager> manager;
    Reference<css::beans::XPropertySet>(frame, UNO_QUERY_THROW)
        ->getPropertyValue("LayoutManager") >>= manager;
    return manager.is() && manager->isElementVisible(rtl::OUString::createFromAscii(element));
}

}  // namespace

std::filesystem::path OfficeFolder() {
    return VARSEL_TEST_OFFICE_DIR;
}

std::string OfficeProfileUrl() {
    return "file://" + (OfficeFolder() / "profile").string();
}

CalcOptions OfficeOptions() {
    CalcOptions options = DefaultCalcOptions();
    options.PipeName = VARSEL_TEST_CALC_PIPE;
    options.UserInstallation = OfficeProfileUrl();
    options.LockRecordPath = (OfficeFolder() / "locks").string();
    options.StartArguments = {"--headless", "--invisible", "--norestore", "--nologo"};
    return options;
}

OfficeProbe::OfficeProbe(const std::string& pipe) {
    std::string why;
    office_ = calc::ConnectToPipe(pipe, &why);
    if (!office_.is()) throw std::runtime_error("no office listens on " + pipe + ": " + why);
    desktop_ = css::frame::Desktop::create(office_);
}

void OfficeProbe::MakeWorkbook(const std::filesystem::path& file,
                               const std::vector<SheetRows>& sheets) {
    const Reference<css::frame::XComponentLoader> loader(desktop_, UNO_QUERY_THROW);
    const PropertyValue hiddenProperty = Property("Hidden", Any(true));
    const Sequence<PropertyValue> hidden(&hiddenProperty, 1);
    const Reference<css::lang::XComponent> document =
        loader->loadComponentFromURL("private:factory/scalc", "_blank", 0, hidden);
    const Reference<css::sheet::XSpreadsheets> all =
        Reference<css::sheet::XSpreadsheetDocument>(document, UNO_QUERY_THROW)->getSheets();
    const Reference<css::container::XIndexAccess> indexed(all, UNO_QUERY_THROW);
    for (std::size_t s = static_cast<std::size_t>(indexed->getCount()); s < sheets.size(); ++s) {
        all->insertNewByName("Sheet" + rtl::OUString::number(static_cast<sal_Int32>(s + 1)),
                             static_cast<sal_Int16>(s));
    }
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        Reference<css::sheet::XSpreadsheet> sheet;
        indexed->getByIndex(static_cast<sal_Int32>(s)) >>= sheet;
        for (std::size_t r = 0; r < sheets[s].size(); ++r) {
            for (std::size_t c = 0; c < sheets[s][r].size(); ++c) {
                const std::string& text = sheets[s][r][c];
                if (text.empty()) continue;
                const Reference<css::table::XCell> cell =
                    sheet->getCellByPosition(static_cast<sal_Int32>(c), static_cast<sal_Int32>(r));
                double number = 0;
                if (text[0] == '=') {
                    cell->setFormula(calc::FromUtf8(text));
                } else if (IsNumber(text, number)) {
                    cell->setValue(number);
                } else {
                    Reference<css::text::XTextRange>(cell, UNO_QUERY_THROW)
                        ->setString(calc::FromUtf8(text));
                }
            }
        }
    }
    const PropertyValue filter = Property("FilterName", Any(FilterFor(file)));
    const Sequence<PropertyValue> format(&filter, 1);
    Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)
        ->storeToURL(calc::FileUrl(file.string()), format);
    Reference<css::util::XCloseable>(document, UNO_QUERY_THROW)->close(true);
}

std::vector<Reference<css::frame::XModel>> OfficeProbe::Documents(
    const std::filesystem::path& file) {
    const rtl::OUString url = calc::FileUrl(file.string());
    std::vector<Reference<css::frame::XModel>> found;
    const Reference<css::container::XEnumeration> all =
        desktop_->getComponents()->createEnumeration();
    while (all->hasMoreElements()) {
        const Reference<css::frame::XModel> model(all->nextElement(), UNO_QUERY);
        if (model.is() && model->getURL() == url) found.push_back(model);
    }
    return found;
}

int OfficeProbe::CountOpen(const std::filesystem::path& file) {
    return static_cast<int>(Documents(file).size());
}

Reference<css::frame::XModel> OfficeProbe::Document(const std::filesystem::path& file) {
    const auto found = Documents(file);
    if (found.empty()) throw std::runtime_error(file.string() + " is not open");
    return found.front();
}

Reference<css::sheet::XSpreadsheet> OfficeProbe::Sheet(const std::filesystem::path& file,
                                                       int index) {
    const Reference<css::container::XIndexAccess> sheets(
        Reference<css::sheet::XSpreadsheetDocument>(Document(file), UNO_QUERY_THROW)->getSheets(),
        UNO_QUERY_THROW);
    Reference<css::sheet::XSpreadsheet> sheet;
    sheets->getByIndex(index) >>= sheet;
    return sheet;
}

void OfficeProbe::Open(const std::filesystem::path& file) {
    Reference<css::frame::XComponentLoader>(desktop_, UNO_QUERY_THROW)
        ->loadComponentFromURL(calc::FileUrl(file.string()), "_default", 0,
                               Sequence<PropertyValue>());
}

std::string OfficeProbe::CurrentUrl() {
    const Reference<css::frame::XModel> current(desktop_->getCurrentComponent(), UNO_QUERY);
    return current.is() ? calc::ToUtf8(current->getURL()) : std::string();
}

void OfficeProbe::SetActiveSheet(const std::filesystem::path& file, int index) {
    Reference<css::sheet::XSpreadsheetView>(Document(file)->getCurrentController(), UNO_QUERY_THROW)
        ->setActiveSheet(Sheet(file, index));
}

void OfficeProbe::CloseAll() {
    std::vector<Reference<css::util::XCloseable>> open;
    const Reference<css::container::XEnumeration> all =
        desktop_->getComponents()->createEnumeration();
    while (all->hasMoreElements()) {
        const Reference<css::util::XCloseable> closeable(all->nextElement(), UNO_QUERY);
        if (closeable.is()) open.push_back(closeable);
    }
    for (const auto& closeable : open)
        closeable->close(true);
}

bool OfficeProbe::InputEnabled(const std::filesystem::path& file) {
    for (const auto& frame : FramesOf(desktop_, Document(file))) {
        if (!Reference<css::awt::XWindow2>(frame->getContainerWindow(), UNO_QUERY_THROW)
                 ->isEnabled()) {
            return false;
        }
    }
    return true;
}

bool OfficeProbe::ProgressShown(const std::filesystem::path& file) {
    for (const auto& frame : FramesOf(desktop_, Document(file))) {
        if (ElementVisible(frame, "private:resource/progressbar/progressbar")) return true;
    }
    return false;
}

bool OfficeProbe::StatusBarShown(const std::filesystem::path& file) {
    const auto frames = FramesOf(desktop_, Document(file));
    return !frames.empty() &&
           ElementVisible(frames.front(), "private:resource/statusbar/statusbar");
}

void OfficeProbe::SetDocumentLocking(bool on) {
    const Reference<css::lang::XMultiServiceFactory> provider =
        css::configuration::theDefaultProvider::get(office_);
    const Any path(Property("nodepath", Any(rtl::OUString("/org.openoffice.Office.Common/Misc"))));
    const Sequence<Any> where(&path, 1);
    const Reference<css::container::XNameReplace> misc(
        provider->createInstanceWithArguments(
            "com.sun.star.configuration.ConfigurationUpdateAccess", where),
        UNO_QUERY_THROW);
    misc->replaceByName("UseLocking", Any(on));
    Reference<css::util::XChangesBatch>(misc, UNO_QUERY_THROW)->commitChanges();
}

std::vector<std::string> TextLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

SheetRows TypedRows(const std::string& bytes) {
    SheetRows grid;
    for (const std::string& line : TextLines(bytes)) {
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            const std::string typed = line.substr(start, tab - start);
            std::string cell;
            for (std::size_t i = 0; i < typed.size(); ++i) {
                if (typed[i] == '\xB1' && (i == 0 || typed[i - 1] != '\xC2')) cell += '\xC2';
                cell += typed[i];
            }
            cells.push_back(cell);
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        grid.push_back(cells);
    }
    return grid;
}

CellContent ContentOf(const Reference<css::sheet::XSpreadsheet>& sheet, int row, int column) {
    const Reference<css::table::XCell> cell = sheet->getCellByPosition(column - 1, row - 1);
    CellContent content;
    switch (cell->getType()) {
        case css::table::CellContentType_EMPTY:
            break;
        case css::table::CellContentType_TEXT:
            content.Empty = false;
            content.Text = ShownText(sheet, row, column);
            break;
        default:
            content.Empty = false;
            content.Number = true;
            content.Value = cell->getValue();
            break;
    }
    return content;
}

std::string ShownText(const Reference<css::sheet::XSpreadsheet>& sheet, int row, int column) {
    return calc::ToUtf8(Reference<css::text::XTextRange>(
                            sheet->getCellByPosition(column - 1, row - 1), UNO_QUERY_THROW)
                            ->getString());
}

double Value(const Reference<css::sheet::XSpreadsheet>& sheet, int row, int column) {
    return sheet->getCellByPosition(column - 1, row - 1)->getValue();
}

}  // namespace varsel::test
