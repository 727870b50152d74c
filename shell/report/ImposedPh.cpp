#include "shell/report/ImposedPh.h"

#include <cmath>

#include "shell/report/SummaryText.h"

namespace varsel::report {

std::vector<std::vector<std::string>> ImposedPhRows(const FitSummary& s) {
    if (!s.ImposesPh) return {};
    std::vector<std::vector<std::string>> rows = {
        {"Sample", s.PhMolal ? "pH (\xE2\x88\x92log m(H+))" : "pH (\xE2\x88\x92log a(H+))",
         "Titrant", "mol/kg"}};
    for (const SamplePoint& p : s.Samples) {
        const std::string titrant = p.Titrant > 0 ? s.Acid : p.Titrant < 0 ? s.Base : "";
        rows.push_back({p.Name, p.HasPh ? Significant(p.Ph) : "\xE2\x80\x93", titrant,
                        p.Titrant != 0 ? Significant(std::fabs(p.Titrant)) : "0"});
    }
    return rows;
}

QString ImposedPhHtml(const FitSummary& s) {
    const std::vector<std::vector<std::string>> rows = ImposedPhRows(s);
    if (rows.empty()) return {};
    QString html = "<h2>Imposed pH and titrant added</h2>\n<table>\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const QString cell = r == 0 ? "th" : "td";
        html += "<tr>";
        for (const std::string& text : rows[r])
            html +=
                "<" + cell + ">" + QString::fromStdString(text).toHtmlEscaped() + "</" + cell + ">";
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

}  // namespace varsel::report
