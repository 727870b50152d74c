#include "shell/qt/SeriesView.h"

#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "shell/qt/ResultsView.h"
#include "shell/report/SeriesPlots.h"
#include "shell/report/SeriesText.h"
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

// A table as tall as its rows, so that the column of tables needs no scroll bars of its own.
QTableWidget* Table(const std::vector<std::vector<std::string>>& rows, const QStringList& columns,
                    const QStringList& names = {}) {
    auto* table = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(columns.size()));
    table->setHorizontalHeaderLabels(columns);
    if (!names.isEmpty()) {
        table->setVerticalHeaderLabels(names);
    } else {
        table->verticalHeader()->hide();
    }
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            table->setItem(static_cast<int>(r), static_cast<int>(c), Cell(rows[r][c]));
    }
    table->resizeColumnsToContents();
    // As wide and as tall as its cells: the column of tables scrolls as a whole.
    int width = 2 * table->frameWidth();
    if (!names.isEmpty()) width += table->verticalHeader()->sizeHint().width();
    for (int c = 0; c < table->columnCount(); ++c)
        width += table->columnWidth(c);
    int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth();
    for (int r = 0; r < table->rowCount(); ++r)
        height += table->rowHeight(r);
    table->setFixedSize(width, height);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return table;
}

QLabel* Paragraph(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QWidget* Tables(const SeriesSummary& s) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    QString outcome;
    for (const std::string& line : report::SeriesOutcomeLines(s))
        outcome += (outcome.isEmpty() ? "" : "\n") + Text(line);
    layout->addWidget(Paragraph(outcome));
    for (const std::string& flag : s.Flags) {
        QLabel* label = Paragraph("\u26A0 " + Text(flag));
        label->setStyleSheet("color: #a04000");
        layout->addWidget(label);
    }
    if (!s.Parameters.empty()) {
        std::vector<std::vector<std::string>> rows;
        QStringList names;
        for (const SeriesParameter& p : s.Parameters) {
            const report::ValueText text = report::WithHalfWidth(p.Value, p.HalfWidth);
            rows.push_back(
                {text.Value, text.HalfWidth, p.Unit, report::WithHalfWidth(p.Initial, 0).Value});
            names << Text(p.Species + " " + p.Name);
        }
        layout->addWidget(new QLabel("<b>Fitted parameters</b>"));
        layout->addWidget(Table(rows, {"Value", "\u00B1 95 %", "Unit", "Database"}, names));
    }
    for (const bool correlation : {true, false}) {
        const std::vector<std::vector<double>>& m = correlation ? s.Correlation : s.Covariance;
        if (m.empty()) continue;
        std::vector<std::vector<std::string>> rows;
        QStringList names;
        for (std::size_t i = 0; i < m.size(); ++i) {
            names << Text(s.Parameters[i].Species + " " + s.Parameters[i].Name);
            rows.emplace_back();
            for (double v : m[i])
                rows.back().push_back(correlation ? report::Fixed(v, 3) : report::Significant(v));
        }
        layout->addWidget(new QLabel(correlation ? "<b>Correlation of the parameters</b>"
                                                 : "<b>Covariance (in their units)</b>"));
        layout->addWidget(Table(rows, names, names));
    }
    std::vector<std::vector<std::string>> files;
    for (const SeriesFileResult& f : s.Files) {
        for (const SeriesSpeciesValue& v : f.Species) {
            const report::ValueText own = report::WithHalfWidth(v.Value, v.HalfWidth);
            const report::ValueText series = report::WithHalfWidth(v.Series, v.SeriesHalfWidth);
            files.push_back({f.Name, report::Significant(f.TemperatureC), v.Name,
                             v.OwnFit ? own.Value : "not fitted", v.OwnFit ? own.HalfWidth : "",
                             s.Filled ? series.Value : "", s.Filled ? series.HalfWidth : ""});
        }
    }
    if (!files.empty()) {
        layout->addWidget(new QLabel("<b>Each file (kJ/mol)</b>"));
        layout->addWidget(Table(files, {"File", "T (\u00B0C)", "Species", "Own fit", "\u00B1 95 %",
                                        "Series", "\u00B1 95 %"}));
    }
    if (!s.Guards.empty()) {
        QString guards = "<b>Rules that applied</b>";
        for (const std::string& guard : s.Guards)
            guards += "<br/>" + Text(guard).toHtmlEscaped();
        layout->addWidget(Paragraph(guards));
    }
    layout->addStretch();
    return column;
}

QWidget* Plots(const SeriesSummary& s) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    for (int which = 0; which < report::SeriesPlotCount(s); ++which) {
        auto* view = new QChartView(report::MakeSeriesChart(s, which));
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(520, 320);
        layout->addWidget(view);
    }
    return column;
}

QScrollArea* Scrolled(QWidget* content) {
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    return area;
}

}  // namespace

SeriesView::SeriesView(const SeriesSummary& summary, QWidget* owner)
    : QWidget(owner, Qt::Window), summary_(summary) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Varsel \u2013 series" +
                   (summary_.Title.empty() ? QString() : ": " + Text(summary_.Title)));
    auto* left = new QVBoxLayout;
    QWidget* tables = Tables(summary_);
    QScrollArea* scrolled = Scrolled(tables);
    scrolled->setMinimumWidth(tables->sizeHint().width() +
                              scrolled->verticalScrollBar()->sizeHint().width() + 4);
    left->addWidget(scrolled, 1);
    auto* save = new QPushButton("Save plot\u2026");
    connect(save, &QPushButton::clicked, this, &SeriesView::SavePlotClicked);
    left->addWidget(save, 0, Qt::AlignLeft);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 0);
    layout->addWidget(Scrolled(Plots(summary_)), 1);
}

bool SeriesView::SavePlot(const QString& path, QString& error) const {
    return report::SaveSeriesPlots(summary_, path, error);
}

void SeriesView::SavePlotClicked() {
    const QString path = QFileDialog::getSaveFileName(
        this, "Save plot", QString(), "PNG image (*.png);;SVG drawing (*.svg);;PDF (*.pdf)");
    if (path.isEmpty()) return;
    QString error;
    if (!SavePlot(path, error)) QMessageBox::warning(this, "Varsel", "Could not save: " + error);
}

SeriesView* ShowSeriesResults(QWidget& owner, const SeriesSummary& summary) {
    // The view of an earlier run, of a series or of a single file, gives way.
    for (SeriesView* earlier : owner.findChildren<SeriesView*>(Qt::FindDirectChildrenOnly))
        earlier->close();
    for (ResultsView* earlier : owner.findChildren<ResultsView*>(Qt::FindDirectChildrenOnly))
        earlier->close();
    if (!summary.Filled && summary.Files.empty()) return nullptr;
    auto* view = new SeriesView(summary, &owner);
    view->resize(1380, 800);
    view->move(owner.frameGeometry().right() + 16, owner.frameGeometry().top());
    view->show();
    return view;
}

}  // namespace varsel::qt
