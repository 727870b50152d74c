// The report files of a series fit: JSON for scripts and notebooks, one self-contained HTML
// page with the tables and the plots as inline SVG, or the plots alone as PNG, SVG or PDF.
// They need a Qt application object (the plots are drawn with Qt Charts); no display.
#pragma once

#include <QByteArray>
#include <QString>

#include "varsel/Series.h"

namespace varsel::report {

/// The summary as a JSON document.
QByteArray SeriesJson(const SeriesSummary& s);

/// The summary as one HTML page.
QByteArray SeriesHtml(const SeriesSummary& s);

/// Writes the report the file name's ending asks for (.json, .html, .png, .svg, .pdf).
/// False with `error` set when the ending is unknown or the file cannot be written.
bool WriteSeriesReport(const SeriesSummary& s, const QString& path, QString& error);

}  // namespace varsel::report
