#include "shell/report/UncertaintyPlots.h"

#include <QBuffer>
#include <QChart>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <memory>

#include "shell/report/ReportPlots.h"

namespace varsel::report {

namespace {

constexpr int kBins = 30;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QChart* NewChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

// Attaches every series to new axes with the given titles and ranges.
void SetAxes(QChart& chart, const QString& xTitle, double xMin, double xMax, const QString& yTitle,
             double yMin, double yMax) {
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setTitleText(xTitle);
    y->setTitleText(yTitle);
    const auto widen = [](double& low, double& high) {
        if (!(high > low)) {
            low -= 1;
            high += 1;
        }
    };
    widen(xMin, xMax);
    widen(yMin, yMax);
    x->setRange(xMin, xMax);
    y->setRange(yMin, yMax);
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart.series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

// A line in the chart theme's next colour, or in grey with the given pen style.
QLineSeries* Line(const QString& name, Qt::PenStyle style = Qt::SolidLine) {
    auto* line = new QLineSeries;
    line->setName(name);
    if (style != Qt::SolidLine) line->setPen(QPen(QColor(90, 90, 90), 1.5, style));
    return line;
}

// How far from the optimum the profile plot reaches: a fifth beyond the furthest joint end
// found, so that unbounded sides, traced up to 1000 kJ/mol, do not flatten the others.
double ProfileSpan(const uncertainty::Result& r) {
    double span = 0;
    for (const uncertainty::SpeciesIntervals& s : r.Species) {
        for (const uncertainty::End* end : {&s.Joint.Low, &s.Joint.High})
            if (end->Found()) span = std::max(span, std::fabs(end->Value - s.Value));
    }
    if (span == 0) {
        for (const uncertainty::SpeciesIntervals& s : r.Species)
            for (const uncertainty::ProfilePoint& p : s.Curve)
                span = std::max(span, std::fabs(p.Value - s.Value));
    }
    return 1.2 * span;
}

std::vector<double> ReplicatesOf(const uncertainty::Result& r, std::size_t p) {
    std::vector<double> values;
    for (const std::vector<double>& replicate : r.ReplicateValues)
        values.push_back(replicate[p]);
    return values;
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const double n = static_cast<double>(a.size());
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ma += a[i] / n;
        mb += b[i] / n;
    }
    double sab = 0, saa = 0, sbb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        sab += (a[i] - ma) * (b[i] - mb);
        saa += (a[i] - ma) * (a[i] - ma);
        sbb += (b[i] - mb) * (b[i] - mb);
    }
    return saa > 0 && sbb > 0 ? sab / std::sqrt(saa * sbb) : 0;
}

}  // namespace

QChart* MakeProfileChart(const uncertainty::Result& r) {
    if (!r.Profiled || r.Species.empty() || !r.Species.front().HasProfile) return nullptr;
    QChart* chart = NewChart("Profiles: S(v) \u2212 S_R with the other species refitted");
    const double span = ProfileSpan(r);
    for (const uncertainty::SpeciesIntervals& s : r.Species) {
        QLineSeries* curve = Line(Text(s.Name));
        curve->setPointsVisible(true);
        for (const uncertainty::ProfilePoint& p : s.Curve)
            curve->append(p.Value - s.Value, p.Rise);
        chart->addSeries(curve);
    }
    const double top = 1.4 * r.JointThreshold;
    for (const auto& [name, level] :
         {std::pair{QString("joint threshold %1").arg(r.JointThreshold, 0, 'f', 3),
                    r.JointThreshold},
          std::pair{QString("individual threshold %1").arg(r.IndividualThreshold, 0, 'f', 3),
                    r.IndividualThreshold}}) {
        QLineSeries* line = Line(name, Qt::DashLine);
        line->append(-span, level);
        line->append(span, level);
        chart->addSeries(line);
    }
    SetAxes(*chart, "v \u2212 x* (kJ/mol)", -span, span, "S(v) \u2212 S_R", 0, top);
    return chart;
}

QChart* MakeHistogramChart(const uncertainty::Result& r, std::size_t p) {
    if (p >= r.Species.size() || !r.Species[p].HasBootstrap) return nullptr;
    const uncertainty::SpeciesIntervals& s = r.Species[p];
    const std::vector<double> values = ReplicatesOf(r, p);
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    const double low = *lowest;
    const double width = (*highest - low) / kBins;
    std::vector<int> counts(kBins, 0);
    for (double v : values) {
        const int bin = width > 0 ? static_cast<int>((v - low) / width) : 0;
        ++counts[std::clamp(bin, 0, kBins - 1)];
    }
    QChart* chart = NewChart(Text(s.Name) + " over " + QString::number(values.size()) +
                             " bootstrap replicates");
    QLineSeries* bars = Line("replicates");
    bars->append(low, 0);
    int most = 0;
    for (int b = 0; b < kBins; ++b) {
        bars->append(low + b * width, counts[b]);
        bars->append(low + (b + 1) * width, counts[b]);
        most = std::max(most, counts[b]);
    }
    bars->append(low + kBins * width, 0);
    chart->addSeries(bars);
    const double top = most * 1.1;
    QLineSeries* fitted = Line("fitted value");
    fitted->append(s.Value, 0);
    fitted->append(s.Value, top);
    chart->addSeries(fitted);
    // Both percentiles in one series, joined along the axis.
    QLineSeries* percentiles = Line("2.5 and 97.5 percentiles", Qt::DashLine);
    percentiles->append(s.BootstrapLow, top);
    percentiles->append(s.BootstrapLow, 0);
    percentiles->append(s.BootstrapHigh, 0);
    percentiles->append(s.BootstrapHigh, top);
    chart->addSeries(percentiles);
    const double pad = width > 0 ? 2 * width : 1;
    SetAxes(*chart, Text(s.Name) + " (kJ/mol)", std::min(low, s.Value) - pad,
            std::max(low + kBins * width, s.Value) + pad, "replicates", 0, most * 1.15);
    return chart;
}

QChart* MakePairChart(const uncertainty::Result& r) {
    if (r.Species.size() < 2 || r.ReplicateValues.size() < 2) return nullptr;
    std::size_t a = 0, b = 1;
    double strongest = -1;
    for (std::size_t i = 0; i < r.Species.size(); ++i) {
        for (std::size_t j = i + 1; j < r.Species.size(); ++j) {
            const double c = std::fabs(Correlation(ReplicatesOf(r, i), ReplicatesOf(r, j)));
            if (c > strongest) {
                strongest = c;
                a = i;
                b = j;
            }
        }
    }
    const std::vector<double> x = ReplicatesOf(r, a);
    const std::vector<double> y = ReplicatesOf(r, b);
    QChart* chart = NewChart(QString("The most correlated pair over the replicates (r = %1)")
                                 .arg(Correlation(x, y), 0, 'f', 3));
    auto* points = new QScatterSeries;
    points->setName("replicates");
    points->setMarkerSize(5);
    for (std::size_t k = 0; k < x.size(); ++k)
        points->append(x[k], y[k]);
    auto* optimum = new QScatterSeries;
    optimum->setName("fitted values");
    optimum->setMarkerSize(10);
    optimum->append(r.Species[a].Value, r.Species[b].Value);
    chart->addSeries(points);
    chart->addSeries(optimum);
    const auto [xLow, xHigh] = std::minmax_element(x.begin(), x.end());
    const auto [yLow, yHigh] = std::minmax_element(y.begin(), y.end());
    const double xPad = (*xHigh - *xLow) / 20, yPad = (*yHigh - *yLow) / 20;
    SetAxes(*chart, Text(r.Species[a].Name) + " (kJ/mol)", *xLow - xPad, *xHigh + xPad,
            Text(r.Species[b].Name) + " (kJ/mol)", *yLow - yPad, *yHigh + yPad);
    return chart;
}

QByteArray ChartSvg(QChart* chart) {
    std::unique_ptr<QChart> owned(chart);
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(kPlotSize);
    svg.setViewBox(QRect(QPoint(0, 0), kPlotSize));
    {
        QPainter painter(&svg);
        RenderChart(*owned, painter, QRectF(QPointF(0, 0), kPlotSize));
    }
    const QByteArray document = buffer.data();
    // Without its XML declaration, so that it can stand inside a page.
    const qsizetype start = document.indexOf("<svg");
    return start < 0 ? QByteArray() : document.mid(start);
}

}  // namespace varsel::report
