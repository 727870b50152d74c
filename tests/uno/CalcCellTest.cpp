// Cells of a Calc worksheet as the reader and the optimiser use them: text read as it stands,
// numbers spelled so that the program's numeric test takes them (whatever the display format
// and with either decimal separator), empty and error cells, writes and clears (cell by cell
// and in blocks) seen both through the backend's block reads and by the office itself.
#include <cmath>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/sheet/XSheetAnnotations.hpp>
#include <com/sun/star/sheet/XSheetAnnotationsSupplier.hpp>
#include <limits>
#include <tuple>

#include "OfficeTest.h"
#include "model/RuntimeFailure.h"
#include "support/Raised.h"

namespace varsel::test {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

class CellTest : public OfficeTest {
  protected:
    // Opens a workbook with `rows` through the data source and returns its data sheet.
    std::shared_ptr<IWorksheet> Sheet(const SheetRows& rows) {
        file = Workbook("cells.ods", rows);
        EXPECT_EQ(OpenSource("cells.ods"), 0);
        return m.DataSheet;
    }
    Reference<css::sheet::XSpreadsheet> OfficeSheet() { return probe.Sheet(file, 0); }

    std::filesystem::path file;
};

TEST_F(CellTest, TextNumbersEmptyAndErrorCellsReadAsTheReaderNeedsThem) {
    const auto sheet = Sheet({
        {"  Species:  ", "2", "Initial", "Result", " \xC2\xB1"},
        {"", "-10.5", "1e-7", "123456789012345678", "0.1"},
        {"=1/0", "=B2*2", "=\"text \"&A1", "", "-0"},
    });
    // Text is not trimmed, an error reads as the office shows it, and outside the used area
    // every cell is empty, far away as well.
    // clang-format off
    const std::tuple<int, int, const char*> expected[] = {
        {1, 1, "  Species:  "}, {1, 2, "2"}, {1, 5, " \xC2\xB1"}, {2, 1, ""}, {2, 2, "-10.5"},
        {2, 4, "1.23456789012346E+17"}, {2, 5, "0.1"}, {3, 1, "#DIV/0!"}, {3, 2, "-21"},
        {3, 3, "text   Species:  "}, {3, 5, "0"}, {4, 1, ""}, {1, 6, ""}, {60000, 300, ""}};
    // clang-format on
    for (const auto& [row, column, text] : expected)
        EXPECT_EQ(sheet->CellText(row, column), text) << row << ", " << column;
    for (const auto& [row, column] : {std::pair{1, 2}, {2, 2}, {2, 3}, {2, 4}, {3, 2}}) {
        const std::string text = sheet->CellText(row, column);
        EXPECT_TRUE(IsNumeric(text)) << text;
        EXPECT_EQ(ToFloat(text), static_cast<float>(Value(OfficeSheet(), row, column))) << text;
    }
}

TEST_F(CellTest, NumbersFollowTheProgramsSeparatorAndIgnoreTheDisplayFormat) {
    const auto sheet = Sheet({{"3.14159265358979", "2.5"}});
    // Shown with two decimals, the cell still gives its whole value.
    Reference<css::beans::XPropertySet>(OfficeSheet()->getCellByPosition(0, 0), UNO_QUERY_THROW)
        ->setPropertyValue("NumberFormat", css::uno::Any(sal_Int32(2)));  // "0.00"
    ASSERT_EQ(ShownText(OfficeSheet(), 1, 1), "3.14");
    EXPECT_EQ(sheet->CellText(1, 1), "3.14159265358979");

    SetDecimalSeparator(',');
    const auto again = m.DataWorkbook->ActiveWorksheet();
    EXPECT_EQ(again->CellText(1, 2), "2,5");
    EXPECT_TRUE(IsNumeric(again->CellText(1, 2)));
    EXPECT_EQ(ToFloat(again->CellText(1, 2)), 2.5f);
}

TEST_F(CellTest, WritesAndClearsReachTheOfficeAndLaterReads) {
    const auto sheet = Sheet({{"a", "b", "c", "=B2*10"}, {"1", "2", "3"}, {"4", "5", "6"}});
    // The block is read now.
    EXPECT_EQ(std::tuple(sheet->CellText(2, 2), sheet->CellText(1, 4)), std::tuple("2", "20"));
    sheet->SetCellNumber(2, 2, -0.25);
    EXPECT_EQ(sheet->CellText(2, 2), "-0.25");
    EXPECT_EQ(sheet->CellText(1, 4), "-2.5") << "a formula is read again after its cells change";
    EXPECT_EQ(Value(OfficeSheet(), 2, 2), -0.25);
    sheet->SetCellNumber(3, 3, static_cast<double>(0.1f));
    EXPECT_EQ(ToFloat(sheet->CellText(3, 3)), 0.1f) << "a stored float reads back unchanged";

    // Clearing takes the value and the formats.
    Reference<css::beans::XPropertySet>(OfficeSheet()->getCellByPosition(0, 2), UNO_QUERY_THROW)
        ->setPropertyValue("CellBackColor", css::uno::Any(sal_Int32(0xFF0000)));
    sheet->ClearCell(3, 1);
    EXPECT_EQ(sheet->CellText(3, 1), "");
    EXPECT_EQ(ShownText(OfficeSheet(), 3, 1), "");
    sal_Int32 color = 0;
    Reference<css::beans::XPropertySet>(OfficeSheet()->getCellByPosition(0, 2), UNO_QUERY_THROW)
        ->getPropertyValue("CellBackColor") >>= color;
    EXPECT_EQ(color, -1) << "no background left";

    // Beyond the used area a write extends what is read.
    sheet->SetCellNumber(10, 8, 42);
    EXPECT_EQ(sheet->CellText(10, 8), "42");
    EXPECT_EQ(sheet->CellText(10, 7), "");

    // A number that is not finite never reaches a cell.
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(RaisedBy([&] { sheet->SetCellNumber(2, 1, bad); }).Number, kInvalidOperation);
        EXPECT_EQ(RaisedBy([&] {
                      sheet->SetCellBlock(2, 1, 1, 2, {1.0, bad});
                  }).Number,
                  kInvalidOperation);
    }
    EXPECT_EQ(Value(OfficeSheet(), 2, 1), 1);

    // A block: numbers and an emptied cell that keeps its format; again with a note in it,
    // which stays; then a block cleared of contents and formats.
    Reference<css::beans::XPropertySet>(OfficeSheet()->getCellByPosition(2, 2), UNO_QUERY_THROW)
        ->setPropertyValue("CellBackColor", css::uno::Any(sal_Int32(0xFF0000)));
    sheet->SetCellBlock(2, 2, 2, 2, {0.5, std::nullopt, -1e-7, 42.0});
    EXPECT_EQ(std::tuple(sheet->CellText(2, 2), sheet->CellText(2, 3), sheet->CellText(3, 2),
                         sheet->CellText(3, 3), sheet->CellText(1, 4)),
              std::tuple("0.5", "", "-1E-07", "42", "5"));
    EXPECT_TRUE(ContentOf(OfficeSheet(), 2, 3).Empty);
    EXPECT_EQ(Value(OfficeSheet(), 3, 2), -1e-7);
    const auto annotations =
        Reference<css::sheet::XSheetAnnotationsSupplier>(OfficeSheet(), UNO_QUERY_THROW)
            ->getAnnotations();
    annotations->insertNew(css::table::CellAddress(0, 2, 1), "the user's note");
    sheet->SetCellBlock(2, 2, 2, 2, {std::nullopt, 3.0, 4.0, 5.0});
    EXPECT_EQ(std::tuple(sheet->CellText(2, 2), sheet->CellText(2, 3), Value(OfficeSheet(), 3, 3)),
              std::tuple("", "3", 5.0));
    EXPECT_EQ(annotations->getCount(), 1) << "notes belong to the user";
    Reference<css::beans::XPropertySet>(OfficeSheet()->getCellByPosition(2, 2), UNO_QUERY_THROW)
        ->getPropertyValue("CellBackColor") >>= color;
    EXPECT_EQ(color, 0xFF0000) << "a number leaves the format alone";
    sheet->ClearBlock(2, 2, 2, 2);
    for (int row : {2, 3}) {
        for (int column : {2, 3}) {
            EXPECT_TRUE(ContentOf(OfficeSheet(), row, column).Empty) << row << ", " << column;
            EXPECT_EQ(sheet->CellText(row, column), "");
        }
    }
    Reference<css::beans::XPropertySet>(OfficeSheet()->getCellByPosition(2, 2), UNO_QUERY_THROW)
        ->getPropertyValue("CellBackColor") >>= color;
    EXPECT_EQ(color, -1) << "no background left";
}

TEST_F(CellTest, CellsBeyondOneReadBlockAndUnknownPositions) {
    SheetRows rows(300, std::vector<std::string>{"", ""});
    for (int r = 0; r < 300; ++r)
        rows[static_cast<std::size_t>(r)][1] = std::to_string(r + 1);
    const auto sheet = Sheet(rows);
    for (const auto& [row, text] : {std::pair{1, "1"}, {129, "129"}, {300, "300"}, {301, ""}})
        EXPECT_EQ(sheet->CellText(row, 2), text) << row;
    sheet->SetCellNumber(200, 2, 7);
    EXPECT_EQ(std::tuple(sheet->CellText(200, 2), sheet->CellText(199, 2)), std::tuple("7", "199"));
    EXPECT_EQ(RaisedBy([&] { sheet->CellText(0, 1); }).Number, kInvalidCall);
    EXPECT_EQ(RaisedBy([&] { sheet->CellText(1, 0); }).Number, kInvalidCall);
}

}  // namespace
}  // namespace varsel::test
