#include "shell/report/ReportPlots.h"

#include <QBuffer>
#include <QChart>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <memory>
#include <vector>

#include "shell/report/ReportFiles.h"

namespace varsel::report {

namespace {

// Axes that hold every point with a margin of a twentieth of the span on each side, widened
// to round tick values.
void AddAxes(QChart& chart, const QString& xTitle, const QString& yTitle) {
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setTitleText(xTitle);
    y->setTitleText(yTitle);
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    bool first = true;
    for (QAbstractSeries* series : chart.series()) {
        series->attachAxis(x);
        series->attachAxis(y);
        for (const QPointF& p : static_cast<QXYSeries*>(series)->points()) {
            if (first) {
                xMin = xMax = p.x();
                yMin = yMax = p.y();
                first = false;
            }
            xMin = std::min(xMin, p.x());
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
    }
    const auto pad = [](double& low, double& high) {
        const double margin = high > low ? (high - low) / 20 : 1.0;
        low -= margin;
        high += margin;
    };
    pad(xMin, xMax);
    pad(yMin, yMax);
    x->setRange(xMin, xMax);
    y->setRange(yMin, yMax);
    x->applyNiceNumbers();
    y->applyNiceNumbers();
}

// What an axis plots, as its title: "log10 m(Cl)", or the column a fixed axis comes from.
QString Title(const AxisSummary& axis, const std::string& definition) {
    return QString::fromStdString(axis.Quantity.empty() ? definition : axis.Quantity);
}

QChart* NewChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QScatterSeries* Points(const QString& name) {
    auto* points = new QScatterSeries;
    points->setName(name);
    points->setMarkerSize(8);
    return points;
}

QChart* MakeChart(const FitSummary& s, int which) {
    return which == 0 ? MakeFitChart(s) : MakeErrorChart(s);
}

}  // namespace

QChart* MakeFitChart(const FitSummary& s) {
    const QString xTitle = Title(s.X, s.XAxis);
    const QString yTitle = Title(s.Y, s.YAxis);
    QChart* chart = NewChart(yTitle + " against " + xTitle);
    QScatterSeries* measured = Points("Y (exp)");
    auto* calculated = new QLineSeries;
    calculated->setName("Y (calc)");
    // The line joins the calculated values in the order of X.
    std::vector<SamplePoint> byX = s.Samples;
    std::stable_sort(byX.begin(), byX.end(),
                     [](const SamplePoint& a, const SamplePoint& b) { return a.X < b.X; });
    for (const SamplePoint& p : byX) {
        measured->append(p.X, p.YExp);
        calculated->append(p.X, p.YCalc);
    }
    chart->addSeries(measured);
    chart->addSeries(calculated);
    AddAxes(*chart, xTitle, yTitle);
    return chart;
}

QChart* MakeErrorChart(const FitSummary& s) {
    const QString xTitle = Title(s.X, s.XAxis);
    QChart* chart = NewChart("Errors against " + xTitle);
    QScatterSeries* errors = Points("Y (calc) \u2212 Y (exp)");
    double xMin = 0, xMax = 0;
    for (std::size_t i = 0; i < s.Samples.size(); ++i) {
        const SamplePoint& p = s.Samples[i];
        errors->append(p.X, p.Error);
        xMin = i == 0 ? p.X : std::min(xMin, p.X);
        xMax = i == 0 ? p.X : std::max(xMax, p.X);
    }
    chart->addSeries(errors);
    // The zero line, against which the errors are read.
    auto* zero = new QLineSeries;
    zero->setName("0");
    zero->append(xMin, 0);
    zero->append(xMax, 0);
    chart->addSeries(zero);
    AddAxes(*chart, xTitle, s.Y.Log10 ? "error (log10 units)" : "error");
    // The line spans the whole axis, margins included.
    const auto* x = static_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front());
    zero->replace({QPointF(x->min(), 0), QPointF(x->max(), 0)});
    return chart;
}

void RenderChart(QChart& chart, QPainter& painter, const QRectF& target) {
    QGraphicsScene scene;
    scene.addItem(&chart);
    chart.setGeometry(QRectF(QPointF(0, 0), target.size()));
    scene.setSceneRect(chart.geometry());
    scene.render(&painter, target, scene.sceneRect());
    scene.removeItem(&chart);
}

QByteArray PlotSvg(const FitSummary& s, int which) {
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(kPlotSize);
    svg.setViewBox(QRect(QPoint(0, 0), kPlotSize));
    {
        std::unique_ptr<QChart> chart(MakeChart(s, which));
        QPainter painter(&svg);
        RenderChart(*chart, painter, QRectF(QPointF(0, 0), kPlotSize));
    }
    return buffer.data();
}

bool SavePlots(const FitSummary& s, const QString& path, QString& error) {
    const QString ending = QFileInfo(path).suffix().toLower();
    const QSize whole(kPlotSize.width(), 2 * kPlotSize.height());
    const auto draw = [&s](QPainter& painter, double width, double height) {
        for (int which = 0; which < 2; ++which) {
            std::unique_ptr<QChart> chart(MakeChart(s, which));
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
            draw(painter, pdf.width(), pdf.height() / 2.0);
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
