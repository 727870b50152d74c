#include "model/Notation.h"

#include <cctype>

#include "model/ProblemModel.h"
#include "model/ReaderStatus.h"
#include "model/RuntimeFailure.h"
#include "model/TextCells.h"

namespace varsel {

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void StripModeSwitch(std::string& text) {
    const auto p = Lower(text).find("/mode=");
    if (p == std::string::npos) return;
    // The switch is six characters and takes one more as its value; the two appended blanks
    // keep a switch at the very end from running past the text.
    const std::string padded = text + "  ";
    text = TrimBlanks(padded.substr(0, p) + padded.substr(p + 7));
}

void ParseAxis(ProblemModel& m, std::string& text, AxisDef& axis) {
    const std::size_t length = text.size();
    if (length < 4) {
        m.StatusCode = kAxis;
        return;
    }
    if (text[0] == 'a') {
        axis.Kind = AxisDef::kSpecies;
    } else if (text[0] == 'm') {
        axis.Kind = AxisDef::kElement;
    } else if (text == "fixed") {
        axis.Kind = AxisDef::kFixed;
    } else {
        m.StatusCode = kAxis;
        return;
    }
    axis.Text = text;
    if (axis.Kind == AxisDef::kFixed) return;

    if (text[1] != '(' || text[length - 1] != ')') {
        m.StatusCode = kAxis;
        return;
    }
    text = TrimBlanks(std::string_view(text).substr(2, length - 3));

    if (axis.Kind == AxisDef::kSpecies) {
        const SystemInfo& info = m.SystemInfo;
        for (int i = m.AqFirst; i <= m.AqLast; ++i) {
            if (info.SpeciesNames[i] == text) {
                axis.Index = static_cast<std::int16_t>(i);
                return;
            }
        }
        m.StatusCode = kAxis;
        return;
    }

    if (!m.Thermo) throw RuntimeFailure(kEngineFailure, "The engine is not open");
    const std::int16_t code = m.Thermo->GetElementCode(text);
    if (code == 0) {
        m.StatusCode = kAxis;
        return;
    }
    const SystemInfo& info = m.SystemInfo;
    for (int e = 1; e <= info.ElementCount; ++e) {
        if (info.ElementCodes[e] == code) {
            axis.Index = static_cast<std::int16_t>(e);
            return;
        }
    }
    m.StatusCode = kAxis;
}

}  // namespace varsel
