// The report files of a fit with its intervals: the JSON and HTML of the fit summary with,
// per fitted species, its profile and bootstrap intervals, and at the top what they rest on
// (methods, thresholds, the weights' convention, replicates, failed ones, the seed) and the
// disagreements in words, so that the same command reproduces the report.
//
// JSON, per species: "profile": {"joint": [lo, hi], "individual": [lo, hi]} (null for an end
// that is unbounded or was not found) and "bootstrap": {"lo": …, "hi": …}; at the top
// "bootstrap": {"replicates": B, "failed": F, "seed": S} and "intervals" with the rest.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include "uncertainty/Uncertainty.h"
#include "varsel/FitSummary.h"

namespace varsel::report {

/// Adds the intervals to the summary's JSON object `root`.
void AddIntervalsJson(QJsonObject& root, const uncertainty::Result& r);

/// The HTML section of the intervals: the table, what each interval means, the
/// disagreements and the three kinds of plot.
QByteArray IntervalsHtml(const uncertainty::Result& r);

/// Writes the report the file name's ending asks for, as the summary's WriteReport does,
/// with the intervals in a .json or .html file.
bool WriteReport(const FitSummary& s, const uncertainty::Result& r, const QString& path,
                 QString& error);

}  // namespace varsel::report
