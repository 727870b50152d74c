#include "shell/qt/ResultsView.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "shell/qt/Dialogs.h"
#include "shell/qt/ImposedPhSection.h"
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
    // Small enough that the view fits a laptop's screen beside its tables.
    view->setMinimumSize(400, 240);
    return view;
}

// The filters of Save plot, the PNG for print first; each ends with its one pattern.
const QStringList kPlotFilters = {"PNG image, 300 dpi (*.png)",
                                  "PNG image, screen resolution (*.png)", "SVG drawing (*.svg)",
                                  "PDF document (*.pdf)"};

// The path with the extension of `filter` added, unless it already ends in one of the
// extensions a plot is saved with.
QString WithExtension(const QString& path, const QString& filter) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "png" || suffix == "svg" || suffix == "pdf") return path;
    const qsizetype dot = filter.lastIndexOf("*.");
    if (dot < 0) return path;
    return path + filter.mid(dot + 1).chopped(1);
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
    if (QWidget* ph = ImposedPhSection(summary_)) tables->addWidget(ph);
    tables->addStretch();
    auto* save = new QPushButton("Save plot\u2026");
    save->setObjectName("cmdSavePlot");
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

bool ResultsView::SavePlot(const QString& path, QString& error, int dpi) const {
    return report::SavePlots(summary_, path, error, dpi);
}

void ResultsView::AddPanel(QWidget* panel) {
    panels_->addWidget(panel);
}

void ResultsView::SavePlotClicked() {
    // In the data file's folder, named after it, as a figure of that data set would be.
    const QFileInfo data(QString::fromStdString(summary_.DataFile));
    const QString folder = summary_.DataFile.empty() ? QDir::homePath() : data.absolutePath();
    const QString name =
        (summary_.DataFile.empty() ? QString("fit") : data.completeBaseName()) + "-plots.png";
    const std::optional<SaveChoice> choice =
        ActiveDialogs().ChooseSaveFile(this, "Save plot", folder, name, kPlotFilters);
    if (!choice) return;
    const QString path = WithExtension(choice->Path, choice->Filter);
    QString error;
    if (!SavePlot(path, error, choice->Filter == kPlotFilters.front() ? 300 : 96)) {
        ActiveDialogs().ShowMessage(this, "Could not save: " + error, MessageButtons::Ok,
                                    MessageIcon::Exclamation);
    }
}

ResultsView* ShowResults(QWidget& owner, const FitSummary& summary) {
    for (ResultsView* earlier : owner.findChildren<ResultsView*>(Qt::FindDirectChildrenOnly))
        earlier->close();
    if (!summary.Filled) return nullptr;
    auto* view = new ResultsView(summary, &owner);
    // The view's frame is taken to be as wide as the window's, whose frame is known.
    const QRect window = owner.frameGeometry();
    const QSize frame = window.size() - owner.geometry().size();
    const QScreen* screen = owner.screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QSize size =
        QSize(1040, 680).boundedTo(area.size() - frame).expandedTo(view->minimumSizeHint());
    view->resize(size);
    // Beside the window, whose place and size stay as they are; where the screen ends before
    // the view does, the view moves left over the window, and up when it is too low.
    const QSize outer = size + frame;
    const int x =
        std::max(area.left(), std::min(window.right() + 16, area.right() + 1 - outer.width()));
    const int y = std::max(area.top(), std::min(window.top(), area.bottom() + 1 - outer.height()));
    view->move(x, y);
    view->show();
    return view;
}

}  // namespace varsel::qt
