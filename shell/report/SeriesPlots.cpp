#include "shell/report/SeriesPlots.h"

#include <QAreaSeries>
#include <QBuffer>
#include <QChart>
#include <QFileInfo>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <memory>

#include "shell/report/ReportFiles.h"
#include "shell/report/ReportPlots.h"

namespace varsel::report {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The species of the plots: those fitted, in the order of their parameters.
std::vector<std::string> SpeciesOf(const SeriesSummary& s) {
    std::vector<std::string> species;
    const auto add = [&species](const std::string& name) {
        if (std::find(species.begin(), species.end(), name) == species.end()) {
            species.push_back(name);
        }
    };
    for (const SeriesParameter& p : s.Parameters)
        add(p.Species);
    for (const SeriesFileResult& f : s.Files) {
        for (const SeriesSpeciesValue& v : f.Species)
            add(v.Name);
    }
    return species;
}

// The span of the points added, padded by a twentieth on each side.
class Range {
  public:
    void Add(double x, double y) {
        xLow_ = std::min(xLow_, x);
        xHigh_ = std::max(xHigh_, x);
        yLow_ = std::min(yLow_, y);
        yHigh_ = std::max(yHigh_, y);
    }
    void Apply(QChart& chart, const QString& xTitle, const QString& yTitle) const {
        auto* x = new QValueAxis;
        auto* y = new QValueAxis;
        x->setTitleText(xTitle);
        y->setTitleText(yTitle);
        chart.addAxis(x, Qt::AlignBottom);
        chart.addAxis(y, Qt::AlignLeft);
        for (QAbstractSeries* series : chart.series()) {
            series->attachAxis(x);
            series->attachAxis(y);
        }
        const auto pad = [](double low, double high, QValueAxis* axis) {
            if (!(high >= low)) low = high = 0;
            const double margin = high > low ? (high - low) / 20 : 1.0;
            axis->setRange(low - margin, high + margin);
        };
        pad(xLow_, xHigh_, x);
        pad(yLow_, yHigh_, y);
        x->applyNiceNumbers();
        y->applyNiceNumbers();
    }

  private:
    double xLow_ = 1e300, xHigh_ = -1e300, yLow_ = 1e300, yHigh_ = -1e300;
};

QChart* NewChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

void HideFromLegend(QChart& chart, QAbstractSeries* series) {
    for (QLegendMarker* marker : chart.legend()->markers(series))
        marker->setVisible(false);
}

// The band of a curve (around its values, or around 0 for the deviations) and the curve.
void AddCurve(QChart& chart, const SeriesCurve& curve, bool deviation, Range& range) {
    auto* upper = new QLineSeries;
    auto* lower = new QLineSeries;
    auto* fitted = new QLineSeries;
    for (const SeriesCurve::Point& p : curve.Points) {
        const double centre = deviation ? 0.0 : p.Value;
        upper->append(p.TemperatureC, centre + p.HalfWidth);
        lower->append(p.TemperatureC, centre - p.HalfWidth);
        fitted->append(p.TemperatureC, centre);
        range.Add(p.TemperatureC, centre + p.HalfWidth);
        range.Add(p.TemperatureC, centre - p.HalfWidth);
    }
    auto* area = new QAreaSeries(upper, lower);
    // The area does not own its boundary lines.
    upper->setParent(area);
    lower->setParent(area);
    area->setName("95 % band");
    area->setBrush(QColor(70, 130, 180, 60));
    area->setPen(QPen(Qt::NoPen));
    chart.addSeries(area);
    fitted->setName("series fit (" + Text(curve.Label) + ")");
    fitted->setPen(QPen(QColor(30, 80, 150), 2));
    chart.addSeries(fitted);
}

// G° of a species against T, or with `deviation` each file's own value less the series' one.
QChart* GibbsChart(const SeriesSummary& s, const std::string& species, bool deviation) {
    QChart* chart = NewChart(deviation ? "Each file's own fit less the series fit: " + Text(species)
                                       : "G\u00B0 of " + Text(species) + " against temperature");
    Range range;
    for (const SeriesCurve& curve : s.Curves) {
        if (curve.Species == species && !curve.Points.empty())
            AddCurve(*chart, curve, deviation, range);
    }
    const QColor own(200, 80, 20);
    auto* points = new QScatterSeries;
    points->setName("each file's own fit \u00B1 95 %");
    points->setMarkerSize(8);
    points->setColor(own);
    points->setBorderColor(own);
    std::vector<QLineSeries*> bars;
    for (const SeriesFileResult& f : s.Files) {
        for (const SeriesSpeciesValue& v : f.Species) {
            if (v.Name != species || !v.OwnFit) continue;
            const double y = deviation ? v.Value - v.Series : v.Value;
            points->append(f.TemperatureC, y);
            auto* bar = new QLineSeries;
            bar->append(f.TemperatureC, y - v.HalfWidth);
            bar->append(f.TemperatureC, y + v.HalfWidth);
            bar->setPen(QPen(own, 1.5));
            bars.push_back(bar);
            range.Add(f.TemperatureC, y - v.HalfWidth);
            range.Add(f.TemperatureC, y + v.HalfWidth);
        }
    }
    chart->addSeries(points);
    for (QLineSeries* bar : bars) {
        chart->addSeries(bar);
        HideFromLegend(*chart, bar);
    }
    range.Apply(*chart, "T (\u00B0C)", deviation ? "\u0394G\u00B0 (kJ/mol)" : "G\u00B0 (kJ/mol)");
    return chart;
}

QChart* ErrorChart(const SeriesSummary& s) {
    const QString x = s.Files.empty() ? QString("X") : Text(s.Files.front().XAxis);
    QChart* chart = NewChart("Errors at the series' parameters against " + x);
    Range range;
    for (const SeriesFileResult& f : s.Files) {
        auto* errors = new QScatterSeries;
        errors->setName(QFileInfo(Text(f.Name)).completeBaseName());
        errors->setMarkerSize(7);
        for (const SamplePoint& p : f.Samples) {
            errors->append(p.X, p.Error);
            range.Add(p.X, p.Error);
        }
        chart->addSeries(errors);
    }
    range.Apply(*chart, x, "Y (calc) \u2212 Y (exp)");
    return chart;
}

}  // namespace

int SeriesPlotCount(const SeriesSummary& s) {
    return 2 * static_cast<int>(SpeciesOf(s).size()) + 1;
}

QChart* MakeSeriesChart(const SeriesSummary& s, int which) {
    const std::vector<std::string> species = SpeciesOf(s);
    if (which >= 2 * static_cast<int>(species.size())) return ErrorChart(s);
    return GibbsChart(s, species[which / 2], which % 2 == 1);
}

QByteArray SeriesPlotSvg(const SeriesSummary& s, int which) {
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(kPlotSize);
    svg.setViewBox(QRect(QPoint(0, 0), kPlotSize));
    {
        std::unique_ptr<QChart> chart(MakeSeriesChart(s, which));
        QPainter painter(&svg);
        RenderChart(*chart, painter, QRectF(QPointF(0, 0), kPlotSize));
    }
    return buffer.data();
}

bool SaveSeriesPlots(const SeriesSummary& s, const QString& path, QString& error) {
    const QString ending = QFileInfo(path).suffix().toLower();
    const int count = SeriesPlotCount(s);
    const QSize whole(kPlotSize.width(), count * kPlotSize.height());
    const auto draw = [&](QPainter& painter, double width, double height) {
        for (int which = 0; which < count; ++which) {
            std::unique_ptr<QChart> chart(MakeSeriesChart(s, which));
            RenderChart(*chart, painter, QRectF(0, which * height, width, height));
        }
    };
    // Drawn in memory, then written whole by WriteFile, which follows no link.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    if (ending == "png") {
        QImage image(whole, QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            draw(painter, kPlotSize.width(), kPlotSize.height());
        }
        drawn = image.save(&buffer, "PNG");
    } else if (ending == "svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(whole);
        svg.setViewBox(QRect(QPoint(0, 0), whole));
        QPainter painter;
        if (painter.begin(&svg)) {
            draw(painter, kPlotSize.width(), kPlotSize.height());
            drawn = painter.end() && buffer.size() > 0;
        }
    } else if (ending == "pdf") {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setPageSize(QPageSize(QSizeF(whole), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (painter.begin(&pdf)) {
            draw(painter, pdf.width(), pdf.height() / static_cast<double>(count));
            drawn = painter.end();
        }
    } else {
        error = "a plot is saved as .png, .svg or .pdf";
        return false;
    }
    if (!drawn) {
        error = "could not draw the plots for " + path;
        return false;
    }
    return WriteFile(path, buffer.data(), error);
}

}  // namespace varsel::report
