// The report files of a fit with its intervals: the JSON (json/IntervalsJson) and HTML of the
// fit summary with, per fitted species, its profile and bootstrap intervals, and what they
// rest on (methods, thresholds, the weights' convention, replicates, failed ones, the seed)
// and the disagreements in words, so that the same command reproduces the report.
#pragma once

#include <QByteArray>
#include <QString>

#include "uncertainty/Uncertainty.h"
#include "varsel/FitSummary.h"

namespace varsel::report {

/// The HTML section of the intervals: the table, what each interval means, the
/// disagreements and the three kinds of plot.
QByteArray IntervalsHtml(const uncertainty::Result& r);

/// Writes the report the file name's ending asks for, as the summary's WriteReport does,
/// with the intervals in a .json or .html file.
bool WriteReport(const FitSummary& s, const uncertainty::Result& r, const QString& path,
                 QString& error);

}  // namespace varsel::report
