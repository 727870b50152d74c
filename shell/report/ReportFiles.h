// The report files of a fit: JSON for scripts and notebooks, one self-contained HTML page
// with the tables and both plots as inline SVG, or the plots alone as PNG, SVG or PDF.
// They need a Qt application object (the plots are drawn with Qt Charts); no display.
#pragma once

#include <QByteArray>
#include <QString>

#include "varsel/FitSummary.h"

namespace varsel::report {

/// The summary as a JSON document.
QByteArray SummaryJson(const FitSummary& s);

/// The summary as one HTML page.
QByteArray SummaryHtml(const FitSummary& s);

/// Writes `bytes` as the whole of the file `path`, through a temporary file beside it that is
/// renamed over it; a symbolic link at `path` is refused, not followed. False with `error` set
/// when the file cannot be written.
bool WriteFile(const QString& path, const QByteArray& bytes, QString& error);

/// Writes the report the file name's ending asks for (.json, .html, .png, .svg, .pdf).
/// False with `error` set when the ending is unknown or the file cannot be written.
bool WriteReport(const FitSummary& s, const QString& path, QString& error);

}  // namespace varsel::report
