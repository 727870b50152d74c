#include "series/ObigtTable.h"

#include <cstdio>
#include <vector>

#include "engine/thermo/HkfSensitivity.h"
#include "engine/thermo/Units.h"

namespace varsel::series {

namespace thermo = engine::thermo;

namespace {

constexpr const char* kNotAvailable = "NA";

std::string Number(double value, const char* format = "%.7g") {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A field as CSV writes it: quoted when it holds a comma or a quote.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

std::string Optional(const std::optional<double>& value, double scale) {
    return value ? Number(*value / scale) : kNotAvailable;
}

}  // namespace

std::string ObigtHeader() {
    return "name,abbrv,formula,state,ref1,ref2,date,model,E_units,G,H,S,Cp,V,a1.a,a2.b,a3.c,"
           "a4.d,c1.e,c2.f,omega.lambda,z.T\n";
}

std::string ObigtRow(const thermo::SpeciesRecord& record, const std::string& reference,
                     const std::string& date) {
    std::string name = record.Name;
    if (name.size() > 3 && name.compare(name.size() - 3, 3, ",aq") == 0)
        name.resize(name.size() - 3);
    const double cal = thermo::kCalorie, bar = thermo::kBar;
    std::vector<std::string> fields{Field(name),
                                    kNotAvailable,
                                    Field(record.FormulaText),
                                    "aq",
                                    Field(reference),
                                    kNotAvailable,
                                    date,
                                    "HKF",
                                    "cal",
                                    Optional(record.G, cal),
                                    Optional(record.H, cal),
                                    Optional(record.S, cal)};
    const std::optional<thermo::HkfParameterValues> values = thermo::HkfParameterValuesOf(record);
    if (values) {
        const thermo::HkfReferenceProperties at25 = thermo::HkfReferencePropertiesOf(*values);
        const auto v = [&](thermo::HkfParameter p) {
            return (*values)[static_cast<std::size_t>(p)];
        };
        fields.push_back(Number(at25.HeatCapacity / cal, "%.2f"));
        fields.push_back(Number(at25.Volume / thermo::kCubicCentimetre, "%.2f"));
        fields.push_back(Number(v(thermo::HkfParameter::a1) * bar / cal * 10));
        fields.push_back(Number(v(thermo::HkfParameter::a2) / cal * 1e-2));
        fields.push_back(Number(v(thermo::HkfParameter::a3) * bar / cal));
        fields.push_back(Number(v(thermo::HkfParameter::a4) / cal * 1e-4));
        fields.push_back(Number(v(thermo::HkfParameter::c1) / cal));
        fields.push_back(Number(v(thermo::HkfParameter::c2) / cal * 1e-4));
        fields.push_back(Number(v(thermo::HkfParameter::omega) / cal * 1e-5));
    } else {
        fields.resize(fields.size() + 9, kNotAvailable);
    }
    fields.push_back(Number(record.Charge()));
    std::string row;
    for (const std::string& field : fields) {
        if (!row.empty()) row += ',';
        row += field;
    }
    row += '\n';
    return row;
}

}  // namespace varsel::series
