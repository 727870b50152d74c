// The problem model: everything one fit of one data file knows, as a value.
//
// The reader fills it from the data file and the engine, the optimiser updates the species
// values and fills the per-sample results and statistics, and the results writer reads it.
// Every stage takes the problem it works on as an argument, with the run's context
// (services/RunContext.h: the window, the engine's factory, the stop request); nothing
// reaches a program-wide problem, so several problems can be fitted at once, each with its
// own engine session.
//
// A copy of a problem holds the same data but none of the engine or spreadsheet objects: it
// needs its own engine session (SetUpEngine) before it can be evaluated.
//
// Counts and indices are 16-bit, stored values 32-bit floats, the optimiser's work arrays
// doubles. Every array is allocated from index 0 to its count and used from index 1.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "model/Arrays.h"
#include "model/SystemInfo.h"
#include "services/Engine.h"
#include "services/Spreadsheet.h"
#include "varsel/Run.h"

namespace varsel {

/// What stands on an axis: a value given per sample, an aqueous species' activity or an
/// element's total molality.
struct AxisDef {
    enum : std::int16_t { kFixed = 0, kSpecies = 1, kElement = 2 };
    std::int16_t Kind = 0;  ///< kFixed, kSpecies or kElement
    /// kSpecies: index in SystemInfo::SpeciesNames; kElement: position in ElementCodes.
    std::int16_t Index = 0;
    std::string Text;  ///< the definition as it stood in the file
};

/// One sample row of the data file with the values computed for it.
struct SampleRec {
    std::string Name;
    Array1<float> Potentials;  ///< 0 .. SamplePmcCount: potential of each per-sample p.m.c.
    Array1<float> Amounts;     ///< 0 .. FormulaCount: amount of each formula unit (>= 0)
    float Weight = 0;          ///< weight in the misfit (>= 0)
    float YExp = 0;            ///< experimental Y
    float XFixed = 0;          ///< X: read when the X axis is "fixed", else computed
    float YCalc = 0;           ///< calculated Y
    float Error = 0;           ///< YCalc - YExp
    std::int16_t Extras = 0;   ///< number of extra (non-aqueous, non-p.m.c.) species present
};

/// State that the misfit passes share with the minimisation driver and the interval estimate.
struct MisfitState {
    double SumOfSquares = 0;    ///< S: weighted sum of squared residuals of the last pass
    double RT = 0;              ///< R·T in kJ/mol
    double LastMultiplier = 1;  ///< the derivative multiplier s as the last derivative left it
    long Calculations = 0;      ///< equilibrium calculations asked of the engine in this run
};

/// Status codes of the run: 0 success, -1 quiet stop, 1 and above failure with a text.
inline constexpr std::int16_t kStatusOk = 0;
inline constexpr std::int16_t kStatusQuietStop = -1;

/// A handle of the engine or the spreadsheet that a copy of the problem does not share: the
/// copy starts without it (copy-assigning drops the target's handle), since one engine
/// session serves one problem and one thread at a time.
template <class Pointer>
class Unshared : public Pointer {
  public:
    using Pointer::operator=;
    Unshared() = default;
    Unshared(Pointer pointer) noexcept : Pointer(std::move(pointer)) {}
    Unshared(const Unshared&) noexcept : Pointer() {}
    Unshared(Unshared&&) noexcept = default;
    Unshared& operator=(const Unshared&) noexcept {
        this->reset();
        return *this;
    }
    Unshared& operator=(Unshared&&) noexcept = default;
    ~Unshared() = default;
};

struct ProblemModel {
    // Run status.
    std::int16_t StatusCode = 0;
    std::string StatusText;
    std::string WorkFolder;  ///< working folder, ends with the folder separator
    /// The data file as the path box named it when the reader opened it: a name or path
    /// relative to WorkFolder, or a workbook's full path.
    std::string DataPath;
    /// The data file's full path, resolved once from DataPath when the reader opened it (an
    /// absolute path as it is, "~/" in the home folder, anything else in WorkFolder): the
    /// file that is read, checked, cleaned beside, and written.
    std::string DataFile;
    int OpenErrno = 0;              ///< the system's error when the data file could not be opened
    std::int16_t IgnoreLimits = 0;  ///< position of "/ie" in the command line, 0 when absent
    SavePolicy Saving = SavePolicy::Ask;
    bool IsWorkbook = false;  ///< the data file is a workbook
    std::string Title;        ///< first cell of row 1 of the data file
    /// A text file's end row of the sample table and every line below it, byte for byte as
    /// read, which the writer puts back after the samples; empty when the table ended with
    /// the file.
    std::string TextBelowTable;

    // Engine and spreadsheet objects of the current run; empty until created.
    Unshared<std::unique_ptr<ISolver>> Solver;
    Unshared<std::unique_ptr<IThermo>> Thermo;
    Unshared<std::unique_ptr<ISystemReader>> SystemReader;
    Unshared<std::shared_ptr<ISpreadsheetApp>> ExcelApp;
    Unshared<std::shared_ptr<ISpreadsheetApp>> ExcelAppTyped;
    Unshared<std::shared_ptr<IWorkbook>> DataWorkbook;
    Unshared<std::shared_ptr<IWorksheet>> DataSheet;

    // What the engine was set up with, so that a copy can set up an engine of its own.
    std::string Database;    ///< the database as the data file names it
    std::string SystemFile;  ///< the System file as the data file names it
    std::string Options;     ///< the options text as handed to the engine, without "/mode="

    // The System.
    varsel::SystemInfo SystemInfo;
    std::int16_t PmcSlots = 0;  ///< = SystemInfo.SubstanceCount
    std::int16_t AqFirst = 0;   ///< index of the first aqueous species (the solvent)
    std::int16_t AqLast = 0;    ///< index of the last aqueous species

    // Conditions and water.
    float TempC = 0;
    float TempK = 0;
    float PressureBar = 0;
    float WaterDensity = 0;    ///< g/cm³
    float WaterProperty = 0;   ///< handed unchanged to the aqueous potential calls
    float WaterPotential = 0;  ///< J/mol

    // P.m.c. slots, 1 .. PmcSlots.
    std::int16_t FixedPmcCount = 0;
    std::int16_t SamplePmcCount = 0;
    Array1<std::int16_t> PmcCode;
    Array1<std::int16_t> PmcComputable;
    Array1<float> PmcPotential;
    Array1<std::int16_t> SamplePmcSlot;  ///< 0 .. SamplePmcCount
    Array1<double> PmcActivity;

    // Fitted species, 1 .. SpeciesCount.
    std::int16_t SpeciesCount = 0;
    std::int16_t FreeCount = 0;
    Array1<std::int16_t> SpeciesIndex;
    Array1<bool> SpeciesFree;
    Array1<float> SpeciesInitial;
    Array1<float> SpeciesValue;
    Array1<float> SpeciesScale;
    Array1<float> SpeciesInterval;
    /// The half-width cell as read; a fixed species keeps it, since a run computes none.
    Array1<std::string> SpeciesIntervalText;

    // Formula columns.
    std::int16_t FormulaCount = 0;
    Array1<std::string> FormulaNames;
    Array2<float> FormulaElements;  ///< (0 .. ElementCount, 0 .. FormulaCount)

    // Axes.
    AxisDef XAxis;
    AxisDef YAxis;

    // Samples.
    std::int16_t SampleCount = 0;
    Array1<SampleRec> Samples;
    float WeightSum = 0;

    // Optimiser work data.
    Array2<double> Jacobian;      ///< (0 .. FreeCount, 0 .. SampleCount)
    Array2<double> NormalMatrix;  ///< (0 .. FreeCount, 0 .. FreeCount)
    Array1<double> BulkComposition;
    Array1<double> SpeciesAmount;
    Array1<double> SpeciesLnActivity;
    float InitialSumOfSquares = 0;
    float ResultSumOfSquares = 0;
    /// SpeciesValue, every sample's outputs and ResultSumOfSquares all come from one complete
    /// pass over the samples; false before such a pass (the result's mean error is missing).
    bool ResultReached = false;
    MisfitState Misfit;

    /// The half-width column's header cell as the data file had it, without its leading
    /// blank: the plus-minus sign as one Latin-1 byte or as UTF-8. The writer repeats it.
    std::string HalfWidthHeader = "\xB1";
};

/// The 95 % quantile of the chi-square distribution for 1 .. 8 degrees of freedom.
float ChiSquare95(std::int16_t degreesOfFreedom);

}  // namespace varsel
