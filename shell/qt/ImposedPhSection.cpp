#include "shell/qt/ImposedPhSection.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/report/ImposedPh.h"

namespace varsel::qt {

QWidget* ImposedPhSection(const FitSummary& s) {
    const std::vector<std::vector<std::string>> rows = report::ImposedPhRows(s);
    if (rows.empty()) return nullptr;
    auto* table =
        new QTableWidget(static_cast<int>(rows.size()) - 1, static_cast<int>(rows[0].size()));
    table->setObjectName("imposedPh");
    QStringList columns;
    for (const std::string& title : rows[0])
        columns << QString::fromStdString(title);
    table->setHorizontalHeaderLabels(columns);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            item->setTextAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            table->setItem(static_cast<int>(r) - 1, static_cast<int>(c), item);
        }
    }
    table->resizeColumnsToContents();
    table->setMinimumHeight(160);

    auto* section = new QWidget;
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("<b>Imposed pH and titrant added</b>"));
    layout->addWidget(table);
    return section;
}

}  // namespace varsel::qt
