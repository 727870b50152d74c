#include "shell/qt/UncertaintyPanel.h"

#include <QChartView>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "shell/qt/ResultsView.h"
#include "shell/report/UncertaintyPlots.h"
#include "uncertainty/Describe.h"
#include "uncertainty/FittedProblem.h"

namespace varsel::qt {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A workbook, or no file at all (the run adopted the office's active workbook).
bool IsWorkbook(const std::string& path) {
    if (path.empty() || path.back() == '/' || path.back() == '\\') return true;
    const QString ending = QString::fromStdString(path).section('.', -1).toLower();
    return ending == "xls" || ending == "xlsx" || ending == "ods";
}

QLabel* Paragraph(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableWidget* IntervalTable(const uncertainty::Result& r) {
    auto* table = new QTableWidget(static_cast<int>(r.Species.size()), 5);
    table->setObjectName("tblIntervals");
    table->setHorizontalHeaderLabels(
        {"Value (kJ/mol)", "Linear (joint)", "Profile, joint", "Profile, individual", "Bootstrap"});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList names;
    for (std::size_t i = 0; i < r.Species.size(); ++i) {
        const uncertainty::SpeciesIntervals& s = r.Species[i];
        names << Text(s.Name);
        const std::string cells[] = {
            QString::number(s.Value, 'f', 3).toStdString(), uncertainty::LinearText(s.LinearJoint),
            s.HasProfile ? uncertainty::IntervalText(s.Joint) : "\xE2\x80\x93",
            s.HasProfile ? uncertainty::IntervalText(s.Individual) : "\xE2\x80\x93",
            uncertainty::BootstrapText(s)};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(Text(cells[c]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(static_cast<int>(i), c, item);
        }
    }
    table->setVerticalHeaderLabels(names);
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    // As large as its cells, so that it needs no scroll bars.
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth();
    for (int row = 0; row < table->rowCount(); ++row)
        height += table->rowHeight(row);
    int width = table->verticalHeader()->sizeHint().width() + 2 * table->frameWidth();
    for (int column = 0; column < table->columnCount(); ++column)
        width += table->columnWidth(column);
    table->setFixedSize(width, height);
    return table;
}

void AddPlot(QTabWidget& tabs, QChart* chart, const QString& title) {
    if (chart == nullptr) return;
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(480, 280);
    tabs.addTab(view, title);
}

}  // namespace

UncertaintyPanel::UncertaintyPanel(const FitSummary& run, std::string dataPath, bool ignoreLimits,
                                   QWidget* parent)
    : QWidget(parent), run_(run), dataPath_(std::move(dataPath)), ignoreLimits_(ignoreLimits) {
    start_ = new QPushButton("Profile and bootstrap");
    start_->setObjectName("cmdProfileBootstrap");
    stop_ = new QPushButton("Stop");
    stop_->setObjectName("cmdStopIntervals");
    stop_->hide();
    replicates_ = new QSpinBox;
    replicates_->setObjectName("spnReplicates");
    replicates_->setRange(0, 100000);
    replicates_->setValue(1000);
    replicates_->setToolTip("Bootstrap replicates; 0: the profiles alone");
    seed_ = new QLineEdit;
    seed_->setObjectName("txtSeed");
    seed_->setPlaceholderText("fresh");
    seed_->setMaximumWidth(160);
    seed_->setToolTip("The bootstrap's seed; the same seed gives the same intervals");
    scaleByFit_ = new QCheckBox("Scale by fit");
    scaleByFit_->setObjectName("chkScaleByFit");
    scaleByFit_->setToolTip("Take the weights as relative: scale the thresholds by S/(N \u2212 n)");
    progress_ = new QProgressBar;
    progress_->setObjectName("prgIntervals");
    progress_->hide();
    poll_ = new QTimer(this);
    poll_->setInterval(100);
    connect(poll_, &QTimer::timeout, this, &UncertaintyPanel::Poll);
    connect(start_, &QPushButton::clicked, this, &UncertaintyPanel::StartClicked);
    connect(stop_, &QPushButton::clicked, this, &UncertaintyPanel::StopClicked);

    auto* controls = new QHBoxLayout;
    controls->addWidget(start_);
    controls->addWidget(stop_);
    controls->addWidget(new QLabel("Replicates"));
    controls->addWidget(replicates_);
    controls->addWidget(new QLabel("Seed"));
    controls->addWidget(seed_);
    controls->addWidget(scaleByFit_);
    controls->addStretch();
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->addWidget(new QLabel("<b>Intervals beyond the linear half-widths</b>"));
    layout_->addLayout(controls);
    layout_->addWidget(progress_);

    const bool possible = run_.Succeeded && !run_.Species.empty() && !IsWorkbook(dataPath_);
    start_->setEnabled(possible);
    if (!possible) {
        start_->setToolTip(IsWorkbook(dataPath_) ? "Needs a text data file"
                                                 : "Needs a successful fit of free species");
    }
}

UncertaintyPanel::~UncertaintyPanel() {
    stopSource_.Request();
    if (worker_.joinable()) worker_.join();
}

void UncertaintyPanel::StartClicked() {
    if (Running()) return;
    uncertainty::Options options;
    options.Profile = true;
    options.Replicates = replicates_->value();
    bool given = false;
    const qulonglong seed = seed_->text().trimmed().toULongLong(&given);
    options.Seed = given && seed <= uncertainty::kMaxSeed ? seed : uncertainty::FreshSeed();
    seed_->setText(QString::number(options.Seed));
    options.ScaleByFit = scaleByFit_->isChecked();
    stopSource_.Clear();
    options.Stop = stopSource_.Token();
    done_ = 0;
    total_ = 0;
    options.Progress = [this](int done, int total) {
        done_ = done;
        total_ = total;
    };
    finished_ = false;
    computed_ = std::make_unique<uncertainty::Result>();
    start_->setEnabled(false);
    stop_->setEnabled(true);
    stop_->show();
    progress_->setValue(0);
    progress_->show();
    worker_ = std::thread([this, options] {
        try {
            Problem problem = uncertainty::ReopenAtFit(dataPath_, ignoreLimits_, run_);
            *computed_ = uncertainty::Estimate(problem, options);
        } catch (const std::exception& failure) {
            computed_->Failure = failure.what();
        }
        finished_ = true;
    });
    poll_->start();
}

void UncertaintyPanel::StopClicked() {
    stopSource_.Request();
    stop_->setEnabled(false);
}

void UncertaintyPanel::Poll() {
    const int total = total_;
    if (total > 0) progress_->setValue(100 * done_ / total);
    if (!finished_) return;
    poll_->stop();
    worker_.join();
    shown_ = std::move(computed_);
    stop_->hide();
    progress_->hide();
    start_->setEnabled(true);
    Show(*shown_);
    emit Finished();
}

void UncertaintyPanel::Show(const uncertainty::Result& r) {
    delete results_;
    results_ = new QWidget;
    // The table and the words on the left, the plots on the right.
    auto* words = new QVBoxLayout;
    words->setContentsMargins(0, 0, 0, 0);
    QString methods;
    for (const std::string& line : uncertainty::MethodLines(r))
        methods += (methods.isEmpty() ? "" : "\n") + Text(line);
    if (r.Failure.empty() && !r.Stopped) words->addWidget(IntervalTable(r));
    words->addWidget(Paragraph(methods));
    for (const std::string& flag : r.Flags) {
        QLabel* label = Paragraph("\u26A0 " + Text(flag));
        label->setStyleSheet("color: #a04000");
        words->addWidget(label);
    }
    words->addStretch();
    auto* row = new QHBoxLayout(results_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(words, 1);
    auto* plots = new QTabWidget;
    plots->setObjectName("tabIntervalPlots");
    AddPlot(*plots, report::MakeProfileChart(r), "Profiles");
    for (std::size_t p = 0; p < r.Species.size(); ++p)
        AddPlot(*plots, report::MakeHistogramChart(r, p), Text(r.Species[p].Name));
    AddPlot(*plots, report::MakePairChart(r), "Pair");
    if (plots->count() > 0) {
        row->addWidget(plots, 1);
    } else {
        delete plots;
    }
    layout_->addWidget(results_);
}

void AddUncertaintyPanel(ResultsView* view, const FitSummary& run, const std::string& dataPath,
                         bool ignoreLimits) {
    if (view != nullptr) view->AddPanel(new UncertaintyPanel(run, dataPath, ignoreLimits));
}

}  // namespace varsel::qt
