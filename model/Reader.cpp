#include "model/Reader.h"

#include <cmath>
#include <exception>
#include <iterator>
#include <limits>
#include <string>

#include "files/MessageText.h"
#include "model/Checked.h"
#include "model/DataSource.h"
#include "model/Layout.h"
#include "model/Notation.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "model/ReaderStatus.h"
#include "model/RuntimeFailure.h"
#include "services/Engine.h"
#include "services/EngineContract.h"
#include "services/RunContext.h"
#include "varsel/Window.h"

namespace varsel {

namespace {

// Thrown to leave the reading for its common exit with a status code.
struct ReadStop {
    std::int16_t code;
};

[[noreturn]] void Fail(std::int16_t code) {
    throw ReadStop{code};
}

// The engine refused its set-up. The engine is a library that shows nothing itself, so its
// text is shown here before the quiet stop; otherwise the user would be left without a word.
bool Refused(IWindow* window, const std::string& engineText, const std::string& fallback) {
    if (window != nullptr) {
        window->ShowMessage(Printable(engineText.empty() ? fallback : engineText),
                            MessageButtons::Ok, MessageIcon::Critical);
    }
    return false;
}

// The three steps of the engine's set-up, each false (with the engine's refusal shown) when
// the engine did not take what it was given.
bool OpenEngineDatabase(ProblemModel& m, IWindow* window) {
    m.Solver->OpenDatabase(m.Database);
    const std::string message = m.Solver->GetMessage();
    if (!message.empty()) {
        return Refused(window, message, "The engine could not open the database " + m.Database);
    }
    std::int16_t flag = 0;
    m.Thermo->OpenDatabase(m.Database, flag);
    return true;
}

bool SetEngineOptions(ProblemModel& m, IWindow* window) {
    m.Solver->SetOptions(m.Options + "/mode=1");
    const std::string message = m.Solver->GetMessage();
    if (!message.empty()) {
        return Refused(window, message, "The engine did not accept the options " + m.Options);
    }
    m.Thermo->SetIgnoreLimits(m.IgnoreLimits > 0);
    m.Thermo->SetModes(OptionFlagWord(m.Options));
    return true;
}

bool LoadEngineSystem(ProblemModel& m, IWindow* window) {
    m.Solver->LoadSystem(m.SystemFile);
    const std::string message = m.Solver->GetMessage();
    if (message != kSystemAcceptedMessage) {
        return Refused(window, message,
                       "The engine did not accept the System file " + m.SystemFile);
    }
    return true;
}

// A potential the engine could not compute comes back with a magnitude above 1e33; a value
// that is not a number at all counts the same.
bool Uncomputable(float value) {
    return !(std::fabs(value) <= kUncomputableAbove);
}

// The header of the half-width column: a blank and the plus-minus sign, as one Latin-1 byte
// or in UTF-8. Trimming in the text form takes the blank away, so there the sign alone will
// do. Returns the sign's bytes, or an empty text when the cell is something else.
std::string HalfWidthSign(const std::string& cell, bool workbook) {
    for (const char* sign : {layout::kPlusMinusLatin1, layout::kPlusMinusUtf8}) {
        if (cell == std::string(" ") + sign) return sign;
        if (!workbook && cell == sign) return sign;
    }
    return std::string();
}

class Reading {
  public:
    Reading(ProblemModel& model, RunContext& context, DataSource& source)
        : m_(model), context_(context), source_(source) {}

    void EngineSetUp();
    void Conditions();
    void FixedPmc();
    void Species();
    void AxesAndHeader();
    void Samples();

  private:
    void NextRowCell() { source_.NextRowCell(); }
    void NextCell() { source_.NextCell(); }
    const std::string& CurrentCell() const { return source_.CurrentCell(); }
    bool EndOfText() { return source_.EndOfText(); }

    void ExpectRowKeyword(const char* keyword) {
        NextRowCell();
        if (CurrentCell() != keyword) Fail(kKeyword);
    }

    void ExpectCell(const char* keyword) {
        NextCell();
        if (CurrentCell() != keyword) Fail(kKeyword);
    }

    // The value cell after a keyword; it must not be empty.
    std::string RequiredValue() {
        NextCell();
        if (CurrentCell().empty()) Fail(kMandatory);
        return CurrentCell();
    }

    std::int16_t PlacePmc(const std::string& name);
    float ComputedInitial(std::int16_t code);

    ProblemModel& m_;
    RunContext& context_;
    DataSource& source_;
    std::int16_t flag_ = 0;  // scratch argument of some engine calls, never read
};

void Reading::EngineSetUp() {
    NextRowCell();
    m_.Title = CurrentCell();

    ExpectRowKeyword(layout::kDatabase);
    m_.Database = RequiredValue();
    if (!OpenEngineDatabase(m_, context_.Window)) Fail(kStatusQuietStop);

    ExpectRowKeyword(layout::kSystem);
    m_.SystemFile = RequiredValue();

    ExpectRowKeyword(layout::kOptions);
    NextCell();
    m_.Options = CurrentCell();
    StripModeSwitch(m_.Options);
    if (!SetEngineOptions(m_, context_.Window)) Fail(kStatusQuietStop);
    if (!LoadEngineSystem(m_, context_.Window)) Fail(kStatusQuietStop);

    m_.SystemInfo = SystemInfo();
    flag_ = 0;
    m_.SystemReader->ReadSystem(m_.SystemFile, m_.SystemInfo, flag_);
    if (m_.SystemInfo.HasAqueous == 0) Fail(kNoAqueous);
    if (m_.SystemInfo.Phases.empty()) {
        throw RuntimeFailure(kSubscriptOutOfRange, "The System has no phase records");
    }
    m_.AqFirst = CheckedInt16(1 + m_.SystemInfo.Phases.back().SpeciesBefore);
    m_.AqLast = m_.SystemInfo.LastAqueous;
}

void Reading::Conditions() {
    const bool limits = m_.IgnoreLimits == 0;

    ExpectRowKeyword(layout::kTemperature);
    m_.TempC = ToFloat(RequiredValue());
    if (limits && !(m_.TempC >= 0 && m_.TempC <= 1000)) Fail(kOutOfRange);
    m_.TempK = ToStoredFloat(static_cast<double>(m_.TempC) + 273.15);

    ExpectRowKeyword(layout::kPressure);
    m_.PressureBar = ToFloat(RequiredValue());
    if (limits && !(m_.PressureBar >= 0 && m_.PressureBar <= 5000)) Fail(kOutOfRange);
    if (m_.PressureBar == 0) {
        m_.PressureBar = m_.Thermo->SaturationPressure(m_.TempK);
        if (m_.PressureBar < 1) m_.PressureBar = 1.0f;
    }
    // Always required, also with the limits lifted; a pressure that is not a number fails too.
    if (!(m_.PressureBar >= 1 && std::isfinite(m_.PressureBar))) Fail(kOutOfRange);

    flag_ = 0;
    m_.WaterDensity = m_.Thermo->WaterDensity(m_.TempK, m_.PressureBar, flag_);
    if (!std::isfinite(m_.WaterDensity) || !std::isfinite(m_.PressureBar)) Fail(kOutOfRange);
    if (limits && !(m_.WaterDensity >= 0.32f)) Fail(kOutOfRange);
    m_.WaterProperty = m_.Thermo->WaterProperty(m_.TempK, m_.WaterDensity);
    m_.WaterPotential = m_.Thermo->WaterPotential(m_.TempK, m_.PressureBar, m_.WaterDensity);
    // The water properties feed every aqueous potential; if the engine could not compute
    // them at this state, the state is outside what it can describe.
    if (!std::isfinite(m_.WaterProperty) || !std::isfinite(m_.WaterPotential)) {
        Fail(kOutOfRange);
    }

    m_.PmcSlots = m_.SystemInfo.SubstanceCount;
    m_.PmcPotential.Redim(m_.PmcSlots);
    m_.PmcComputable.Redim(m_.PmcSlots);
    m_.PmcCode.Redim(m_.PmcSlots);
}

// Finds a p.m.c. name among the System's p.m.c. slots and records its type code; returns the
// slot.
std::int16_t Reading::PlacePmc(const std::string& name) {
    std::int16_t slot = 0;
    for (int s = 1; s <= m_.PmcSlots; ++s) {
        if (m_.SystemInfo.SpeciesNames[s] == name) {
            slot = static_cast<std::int16_t>(s);
            break;
        }
    }
    if (slot == 0) Fail(kPmcName);
    const std::int16_t code = m_.Thermo->GetTypeCode(m_.Thermo->FindSubstance(name));
    if (code == 0) Fail(kPmcName);
    if (m_.PmcCode[slot] != 0) Fail(kPmcTwice);
    m_.PmcCode[slot] = code;
    if (code < kFirstCondensedCode) Fail(kPmcName);
    if (PmcAtRunPressure(name, code)) m_.PmcComputable[slot] = 1;
    return slot;
}

void Reading::FixedPmc() {
    ExpectRowKeyword(layout::kPmc);
    m_.FixedPmcCount = ToInt16(RequiredValue());
    // A negative count would make the per-sample columns outnumber the slots and shift every
    // row that follows; it is as wrong as one above the number of slots.
    if (m_.FixedPmcCount > m_.PmcSlots || m_.FixedPmcCount < 0) Fail(kPmcCount);
    if (m_.FixedPmcCount != 0) ExpectCell(layout::kPotential);

    for (int i = 1; i <= m_.FixedPmcCount; ++i) {
        NextRowCell();
        if (!CurrentCell().empty()) Fail(kKeyword);
        NextCell();
        const std::int16_t slot = PlacePmc(CurrentCell());
        const std::int16_t code = m_.PmcCode[slot];

        NextCell();
        if (!CurrentCell().empty()) {
            m_.PmcPotential[slot] = ToFloat(CurrentCell());
        } else {
            if (m_.PmcComputable[slot] == 0) Fail(kGasPotential);
            flag_ = 0;
            m_.PmcPotential[slot] =
                m_.Thermo->SubstancePotential(code, m_.TempK, m_.PressureBar, flag_);
            if (m_.IsWorkbook && std::fabs(m_.PmcPotential[slot]) < kUncomputableAbove) {
                WriteCell(context_, layout::FixedPmcRow(i), layout::kPotentialColumn,
                          m_.PmcPotential[slot]);
            }
        }
        if (Uncomputable(m_.PmcPotential[slot])) Fail(kPotential);
    }
    m_.SamplePmcCount = CheckedInt16(m_.PmcSlots - m_.FixedPmcCount);
    m_.SamplePmcSlot.Redim(m_.SamplePmcCount);
}

float Reading::ComputedInitial(std::int16_t code) {
    if (code == kSolventCode) return ToStoredFloat(static_cast<double>(m_.WaterPotential) / 1000);
    if (code == kHydrogenIonCode) return 0.0f;
    if (code == kHydroxideCode) {
        const float hydroxide =
            m_.Thermo->Type2Potential(m_.TempK, m_.WaterDensity, m_.WaterPotential);
        // Not a number stays one, and is then rejected as "could not calculate".
        return static_cast<float>(static_cast<double>(hydroxide) / 1000);
    }
    if (code < kFirstEstimatedCode) {
        return m_.Thermo->AqueousPotential(code, m_.TempK, m_.PressureBar, m_.WaterDensity,
                                           m_.WaterProperty);
    }
    flag_ = 0;
    return m_.Thermo->AqueousPotentialEx(code, m_.TempK, m_.PressureBar, m_.WaterDensity,
                                         m_.WaterProperty, flag_);
}

void Reading::Species() {
    ExpectRowKeyword(layout::kSpecies);
    m_.SpeciesCount = ToInt16(RequiredValue());
    if (m_.SpeciesCount < 1 || m_.SpeciesCount > 8) Fail(kSpeciesCount);
    ExpectCell(layout::kInitial);
    ExpectCell(layout::kResult);
    NextCell();
    const std::string sign = HalfWidthSign(CurrentCell(), m_.IsWorkbook);
    if (sign.empty()) Fail(kKeyword);
    m_.HalfWidthHeader = sign;

    const int count = m_.SpeciesCount;
    m_.SpeciesInitial.Redim(count);
    m_.SpeciesScale.Redim(count);
    m_.SpeciesValue.Redim(count);
    m_.SpeciesInterval.Redim(count);
    m_.SpeciesIntervalText.Redim(count);
    m_.SpeciesFree.Redim(count);
    m_.SpeciesIndex.Redim(count);
    m_.FreeCount = 0;

    for (int i = 1; i <= count; ++i) {
        const std::int16_t row = layout::SpeciesRow(m_, i);
        NextRowCell();
        if (!CurrentCell().empty()) Fail(kKeyword);
        NextCell();
        const std::string name = CurrentCell();
        if (name.empty()) Fail(kMandatory);

        const std::int16_t code = m_.Thermo->GetTypeCode(m_.Thermo->FindSubstance(name));
        if (code < 0) Fail(kNotInDatabase);
        if (code >= kFirstCondensedCode) Fail(kNotAqueous);
        std::int16_t position = 0;
        for (int s = m_.AqFirst; s <= m_.AqLast; ++s) {
            if (m_.SystemInfo.SpeciesNames[s] == name) {
                position = static_cast<std::int16_t>(s);
                break;
            }
        }
        if (position == 0) Fail(kNotInSystem);
        m_.SpeciesIndex[i] = position;
        for (int earlier = i - 1; earlier >= 1; --earlier) {
            if (m_.SpeciesIndex[earlier] == position) Fail(kDuplicated);
        }

        NextCell();
        if (IsNumeric(CurrentCell())) {
            m_.SpeciesInitial[i] = ToFloat(CurrentCell());
        } else {
            m_.SpeciesInitial[i] = ComputedInitial(code);
            if (m_.IsWorkbook && std::fabs(m_.SpeciesInitial[i]) < kUncomputableAbove) {
                WriteCell(context_, row, layout::kInitialColumn, m_.SpeciesInitial[i]);
            }
        }
        if (Uncomputable(m_.SpeciesInitial[i])) Fail(kInitialEnergy);

        NextCell();
        if (IsNumeric(CurrentCell())) {
            m_.SpeciesValue[i] = ToFloat(CurrentCell());
            m_.SpeciesFree[i] = false;
        } else {
            m_.SpeciesValue[i] = m_.SpeciesInitial[i];
            m_.SpeciesFree[i] = true;
            CheckedAdd(m_.FreeCount, 1);
        }

        NextCell();
        if (IsNumeric(CurrentCell())) m_.SpeciesScale[i] = ToFloat(CurrentCell());
        // A fixed species is not fitted, so its half-width stays as the file has it.
        if (m_.SpeciesFree[i]) {
            if (m_.IsWorkbook) ClearCell(context_, row, layout::kHalfWidthColumn);
        } else {
            m_.SpeciesIntervalText[i] = CurrentCell();
        }
    }

    // A previous half-width becomes the step scale of the derivatives: the half-width that
    // one standard error would give.
    if (m_.FreeCount > 0) {
        const double d = std::sqrt(static_cast<double>(ChiSquare95(m_.FreeCount)) * m_.FreeCount);
        for (int i = 1; i <= count; ++i) {
            if (m_.SpeciesScale[i] != 0) {
                m_.SpeciesScale[i] = ToStoredFloat(static_cast<double>(m_.SpeciesScale[i]) / d);
            } else {
                m_.SpeciesScale[i] = 1.0f;
            }
        }
    }
}

void Reading::AxesAndHeader() {
    ExpectRowKeyword(layout::kMeanError);
    if (m_.IsWorkbook) {
        const std::int16_t row = layout::MeanErrorRow(m_);
        ClearCell(context_, row, layout::kInitialColumn);
        ClearCell(context_, row, layout::kResultColumn);
    }

    ExpectRowKeyword(layout::kXAxis);
    std::string x = RequiredValue();
    ParseAxis(m_, x, m_.XAxis);
    if (m_.StatusCode != 0) Fail(kAxis);

    ExpectRowKeyword(layout::kYAxis);
    std::string y = RequiredValue();
    ParseAxis(m_, y, m_.YAxis);
    if (m_.StatusCode != 0) Fail(kAxis);
    if (m_.YAxis.Kind == AxisDef::kFixed) Fail(kAxis);

    NextRowCell();
    while (CurrentCell().empty())
        NextRowCell();
    if (CurrentCell() != layout::kSample) Fail(kDataColumn);

    for (int j = 1; j <= m_.SamplePmcCount; ++j) {
        NextCell();
        const std::int16_t slot = PlacePmc(CurrentCell());
        const float reference = PmcReferencePotential(
            *m_.Thermo, m_.PmcCode[slot], m_.PmcComputable[slot] == 1, m_.TempK, m_.PressureBar);
        m_.PmcPotential[slot] = reference;
        if (Uncomputable(reference)) Fail(kPotential);
        m_.SamplePmcSlot[j] = slot;
    }

    m_.FormulaCount = 0;
    m_.FormulaNames.Redim(0);
    m_.FormulaElements.Redim(m_.SystemInfo.ElementCount, 0);
    for (;;) {
        NextCell();
        const std::string formula = CurrentCell();
        if (formula == layout::kSampleHeaders[0]) break;
        // An empty cell is no formula. Saying so here, rather than asking the engine, also
        // ends a header row that lacks "Weight" at once instead of after 32767 empty cells.
        if (formula.empty()) Fail(kFormula);
        const std::string elements = m_.Thermo->GetFormulaElements(formula);
        if (elements.empty() || elements.back() == '\0') Fail(kFormula);
        CheckedAdd(m_.FormulaCount, 1);
        m_.FormulaNames.RedimPreserve(m_.FormulaCount);
        m_.FormulaElements.RedimPreserve(m_.SystemInfo.ElementCount, m_.FormulaCount);
        m_.FormulaNames[m_.FormulaCount] = formula;
        for (char c : elements) {
            const auto code = static_cast<std::int16_t>(static_cast<unsigned char>(c));
            int position = 0;
            for (int e = 1; e <= m_.SystemInfo.ElementCount; ++e) {
                if (m_.SystemInfo.ElementCodes[e] == code) {
                    position = e;
                    break;
                }
            }
            if (position == 0) Fail(kFormula);
            m_.FormulaElements(position, m_.FormulaCount) =
                m_.Thermo->GetElementAmount(formula, code);
        }
    }

    // The columns after Weight.
    for (std::size_t c = 1; c < std::size(layout::kSampleHeaders); ++c) {
        const char* keyword = layout::kSampleHeaders[c];
        NextCell();
        if (CurrentCell() != keyword) Fail(kDataColumn);
    }
}

void Reading::Samples() {
    m_.TextBelowTable.clear();
    m_.SampleCount = 0;
    m_.Samples.Redim(0);
    m_.WeightSum = 0;
    for (;;) {
        // An empty first cell ends the table. Most editors end a text file right after its
        // last line, so the end of the text counts as that empty row too.
        bool end = EndOfText();
        if (!end) {
            NextRowCell();
            end = CurrentCell().empty();
            // The end row and whatever stands below it (more rows, notes) are the user's:
            // the writer puts them back as they are.
            if (end) m_.TextBelowTable = source_.TextFromCurrentRow();
        }
        if (end) {
            m_.Jacobian.Redim(m_.FreeCount, m_.SampleCount);
            m_.NormalMatrix.Redim(m_.FreeCount, m_.FreeCount);
            return;
        }
        CheckedAdd(m_.SampleCount, 1);
        m_.Samples.RedimPreserve(m_.SampleCount);
        SampleRec& sample = m_.Samples[m_.SampleCount];
        sample.Potentials.Redim(m_.SamplePmcCount);
        sample.Amounts.Redim(m_.FormulaCount);
        sample.Name = CurrentCell();

        for (int j = 1; j <= m_.SamplePmcCount; ++j) {
            NextCell();
            const std::string& cell = CurrentCell();
            const std::int16_t slot = m_.SamplePmcSlot[j];
            if (!cell.empty() && !IsNumeric(cell)) Fail(kPmcPotential);
            if (!cell.empty()) {
                sample.Potentials[j] = ToFloat(cell);
            } else {
                if (m_.PmcComputable[slot] == 0) Fail(kGasPotential);
                sample.Potentials[j] = m_.PmcPotential[slot];
            }
        }
        for (int j = 1; j <= m_.FormulaCount; ++j) {
            NextCell();
            const std::string& cell = CurrentCell();
            if (cell.empty()) continue;
            if (!IsNumeric(cell)) Fail(kComposition);
            const float amount = ToFloat(cell);
            if (amount < 0) Fail(kComposition);
            sample.Amounts[j] = amount;
        }

        NextCell();
        if (!CurrentCell().empty()) {
            if (!IsNumeric(CurrentCell())) Fail(kWeight);
            sample.Weight = ToFloat(CurrentCell());
            if (sample.Weight < 0) Fail(kWeight);
        }
        // The sum of weights divides the mean error; it has to stay a finite float.
        const double weightSum = static_cast<double>(m_.WeightSum) + sample.Weight;
        if (!(weightSum <= std::numeric_limits<float>::max())) Fail(kWeight);
        m_.WeightSum = static_cast<float>(weightSum);

        NextCell();
        if (m_.XAxis.Kind == AxisDef::kFixed) {
            if (CurrentCell().empty()) Fail(kXMissing);
            if (!IsNumeric(CurrentCell())) Fail(kXInvalid);
            sample.XFixed = ToFloat(CurrentCell());
        }

        NextCell();
        if (CurrentCell().empty()) Fail(kYMissing);
        if (!IsNumeric(CurrentCell())) Fail(kYInvalid);
        sample.YExp = ToFloat(CurrentCell());

        if (m_.IsWorkbook) {
            using layout::SampleColumn;
            const std::int16_t row = layout::SampleRow(m_, m_.SampleCount);
            if (m_.XAxis.Kind != AxisDef::kFixed) {
                ClearCell(context_, row, layout::SampleCell(m_, SampleColumn::X));
            }
            for (SampleColumn c : {SampleColumn::YCalc, SampleColumn::Error, SampleColumn::Extras})
                ClearCell(context_, row, layout::SampleCell(m_, c));
        }
    }
}

// Creates the engine objects the run does not have yet.
void CreateEngineObjects(ProblemModel& m, IEngineFactory* factory) {
    if (factory == nullptr) {
        throw RuntimeFailure(kEngineFailure, "No thermodynamic engine is available");
    }
    if (!m.Solver) m.Solver = factory->CreateSolver(m.WorkFolder);
    if (!m.Thermo) m.Thermo = factory->CreateThermo(m.WorkFolder);
    if (!m.SystemReader) m.SystemReader = factory->CreateSystemReader(m.WorkFolder);
    if (!m.Solver || !m.Thermo || !m.SystemReader) {
        throw RuntimeFailure(kEngineFailure, "The engine objects could not be created");
    }
}

}  // namespace

std::string ReaderMessage(std::int16_t code) {
    const ReaderStatusEntry* entry = FindReaderStatus(code);
    return entry != nullptr ? entry->Text : std::string();
}

bool SetUpEngine(ProblemModel& m, RunContext& context) {
    m.Thermo.reset();
    m.SystemReader.reset();
    m.Solver.reset();
    CreateEngineObjects(m, context.Engine);
    if (!OpenEngineDatabase(m, context.Window) || !SetEngineOptions(m, context.Window) ||
        !LoadEngineSystem(m, context.Window)) {
        return false;
    }
    // Type codes belong to the Thermo object that handed them out: the p.m.c. get theirs
    // from the new one.
    for (int slot = 1; slot <= m.PmcSlots; ++slot) {
        if (m.PmcCode[slot] == 0) continue;
        m.PmcCode[slot] =
            m.Thermo->GetTypeCode(m.Thermo->FindSubstance(m.SystemInfo.SpeciesNames[slot]));
    }
    return true;
}

std::int16_t ReadDataFile(ProblemModel& m, RunContext& context) {
    m.StatusCode = 0;
    // Until the engine objects exist a failure means the file could not be opened; from
    // then on it is unexpected (a short file, a number that does not convert, an engine or
    // spreadsheet call that fails).
    std::int16_t failureCode = kCannotOpen;
    // What the table's text leaves out: the path and the system's reason for code 2, the
    // overflowing row count for code 3.
    std::string detail;
    DataSource source(m, context);
    try {
        source.Open();
        if (m.StatusCode == kStatusQuietStop) return m.StatusCode;
        if (m.StatusCode != 0) {
            detail = source.OpenFailure();
            Fail(kCannotOpen);
        }

        if (IWindow* window = context.Window) {
            window->SetStartVisible(false);
            window->SetBrowseEnabled(false);
            window->SetPathEnabled(false);
            window->SetStatusCaption("Reading data file...");
            window->ProcessEvents();
        }
        CreateEngineObjects(m, context.Engine);
        failureCode = kUnexpected;

        Reading reading(m, context, source);
        reading.EngineSetUp();
        reading.Conditions();
        reading.FixedPmc();
        reading.Species();
        reading.AxesAndHeader();
        reading.Samples();
    } catch (const ReadStop& stop) {
        m.StatusCode = stop.code;
    } catch (const RowCountOverflow& failure) {
        m.StatusCode = kUnexpected;
        detail = failure.what();
    } catch (const std::exception& failure) {
        m.StatusCode = failureCode;
        if (failureCode == kCannotOpen) detail = Printable(failure.what());
    } catch (...) {
        m.StatusCode = failureCode;
    }

    if (!m.IsWorkbook) source.Close();
    m.StatusText = ReaderMessage(m.StatusCode);
    if (!detail.empty() && !m.StatusText.empty()) m.StatusText += ": " + detail;
    const ReaderStatusEntry* entry = FindReaderStatus(m.StatusCode);
    if (entry != nullptr && entry->ShowsPosition) {
        m.StatusText += " (row=" + std::to_string(source.CurrentRow()) +
                        ", col=" + std::to_string(source.CurrentColumn()) + ")";
    }
    return m.StatusCode;
}

}  // namespace varsel
