#include "shell/qt/ResultsView.h"

#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/report/ReportPlots.h"
#include "shell/report/SummaryText.h"

namespace varsel::qt {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QTableWidgetItem* Cell(const std::string& text) {
    auto* item = new QTableWidgetItem(Text(text));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// A table as tall as its rows, so that the column of tables needs no scroll bars.
QTableWidget* NewTable(int rows, const QStringList& columns) {
    auto* table = new QTableWidget(rows, static_cast<int>(columns.size()));
    table->setHorizontalHeaderLabels(columns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return table;
}

void FitHeight(QTableWidget& table) {
    table.resizeColumnsToContents();
    int height = table.horizontalHeader()->height() + 2 * table.frameWidth();
    for (int r = 0; r < table.rowCount(); ++r)
        height += table.rowHeight(r);
    table.setFixedHeight(height);
    table.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QTableWidget* SpeciesTable(const FitSummary& s) {
    QTableWidget* table =
        NewTable(static_cast<int>(s.Species.size()), {"Value (kJ/mol)", "\u00B1 95 %"});
    QStringList names;
    for (std::size_t i = 0; i < s.Species.size(); ++i) {
        const FittedValue& v = s.Species[i];
        names << Text(v.Name);
        table->setItem(static_cast<int>(i), 0, Cell(report::Fixed(v.Value, 3)));
        table->setItem(static_cast<int>(i), 1, Cell(report::HalfWidthText(v.HalfWidth)));
    }
    table->setVerticalHeaderLabels(names);
    FitHeight(*table);
    return table;
}

QTableWidget* CorrelationTable(const FitSummary& s) {
    QStringList names;
    for (const FittedValue& v : s.Species)
        names << Text(v.Name);
    QTableWidget* table = NewTable(static_cast<int>(names.size()), names);
    table->setVerticalHeaderLabels(names);
    for (std::size_t i = 0; i < s.Correlation.size(); ++i) {
        for (std::size_t j = 0; j < s.Correlation[i].size(); ++j) {
            const double r = s.Correlation[i][j];
            QTableWidgetItem* item = Cell(report::Fixed(r, 3));
            if (i != j && std::abs(r) >= kStrongCorrelation) item->setForeground(Qt::darkRed);
            table->setItem(static_cast<int>(i), static_cast<int>(j), item);
        }
    }
    FitHeight(*table);
    return table;
}

QLabel* Paragraph(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QChartView* ChartView(QChart* chart) {
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(520, 300);
    return view;
}

}  // namespace

ResultsView::ResultsView(const FitSummary& summary, QWidget* owner)
    : QWidget(owner, Qt::Window), summary_(summary) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Varsel \u2013 results" +
                   (summary_.Title.empty() ? QString() : ": " + Text(summary_.Title)));

    auto* tables = new QVBoxLayout;
    QString outcome;
    for (const std::string& line : report::OutcomeLines(summary_))
        outcome += (outcome.isEmpty() ? "" : "\n") + Text(line);
    tables->addWidget(Paragraph(outcome));
    for (const std::string& flag : summary_.Flags) {
        QLabel* label = Paragraph("\u26A0 " + Text(flag));
        label->setStyleSheet("color: #a04000");
        tables->addWidget(label);
    }
    if (!summary_.Species.empty()) {
        tables->addWidget(new QLabel("<b>Fitted species</b>"));
        tables->addWidget(SpeciesTable(summary_));
    }
    if (!summary_.Correlation.empty()) {
        tables->addWidget(new QLabel("<b>Correlation of the fitted species</b>"));
        tables->addWidget(CorrelationTable(summary_));
    }
    tables->addStretch();
    auto* save = new QPushButton("Save plot\u2026");
    connect(save, &QPushButton::clicked, this, &ResultsView::SavePlotClicked);
    tables->addWidget(save, 0, Qt::AlignLeft);

    auto* plots = new QVBoxLayout;
    plots->addWidget(ChartView(report::MakeFitChart(summary_)));
    plots->addWidget(ChartView(report::MakeErrorChart(summary_)));

    auto* columns = new QHBoxLayout;
    columns->addLayout(tables, 0);
    columns->addLayout(plots, 1);
    // Panels added later span both columns below them.
    panels_ = new QVBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(panels_, 0);
}

bool ResultsView::SavePlot(const QString& path, QString& error) const {
    return report::SavePlots(summary_, path, error);
}

void ResultsView::AddPanel(QWidget* panel) {
    panels_->addWidget(panel);
}

void ResultsView::SavePlotClicked() {
    const QString path = QFileDialog::getSaveFileName(
        this, "Save plot", QString(), "PNG image (*.png);;SVG drawing (*.svg);;PDF (*.pdf)");
    if (path.isEmpty()) return;
    QString error;
    if (!SavePlot(path, error)) QMessageBox::warning(this, "Varsel", "Could not save: " + error);
}

ResultsView* ShowResults(QWidget& owner, const FitSummary& summary) {
    for (ResultsView* earlier : owner.findChildren<ResultsView*>(Qt::FindDirectChildrenOnly))
        earlier->close();
    if (!summary.Filled) return nullptr;
    auto* view = new ResultsView(summary, &owner);
    view->resize(1040, 680);
    // Beside the main window, whose place and size stay as they are.
    view->move(owner.frameGeometry().right() + 16, owner.frameGeometry().top());
    view->show();
    return view;
}

}  // namespace varsel::qt
