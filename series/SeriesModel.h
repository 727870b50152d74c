// A series made ready to fit: the fitted species with their database entries, the fitted
// parameters (the vector θ of the fit, in SI units), and the data files, each a problem with
// the water state at its T and P and the map from its free species to the fitted ones.
#pragma once

#include <string>
#include <vector>

#include "engine/thermo/Database.h"
#include "engine/thermo/HkfSensitivity.h"
#include "series/Matrix.h"
#include "varsel/Problem.h"
#include "varsel/Series.h"

namespace varsel::series {

namespace thermo = engine::thermo;

struct FittedSpecies {
    std::string Name;                    ///< the database's spelling
    thermo::SpeciesRecord Record;        ///< the database's entry
    thermo::HkfParameterValues Start{};  ///< the entry's values (estimated where it has none)
    bool Estimated = false;              ///< the entry had no HKF parameters of its own
    std::vector<int> Parameters;         ///< positions in θ, in the Fit: row's order
    int Row = 0;                         ///< the Fit: row
};

struct FittedParameter {
    int Species = 0;  ///< position in Model::Species
    thermo::HkfParameter Kind = thermo::HkfParameter::G;
};

struct FileModel {
    std::string Name;  ///< as listed in the series file
    Problem Data;
    thermo::HkfWater Water;
    thermo::Modes Modes;
    double TemperatureC = 0, PressureBar = 0;
    /// For each free species of the file, in file order: its position in Model::Species.
    std::vector<int> Free;
    std::vector<double> Weights;  ///< per sample
};

struct Model {
    std::string SourceDatabase;  ///< the database file the data files name
    thermo::Database Database;
    std::vector<FittedSpecies> Species;
    std::vector<FittedParameter> Parameters;
    std::vector<FileModel> Files;
    std::vector<std::string> Guards;  ///< the rules that applied, in words

    int Count() const { return static_cast<int>(Parameters.size()); }
    std::vector<double> Start() const;

    /// All nine values of species s with its fitted ones taken from θ.
    thermo::HkfParameterValues ValuesOf(int s, const std::vector<double>& theta) const;

    /// The standard potentials (kJ/mol) of file f's free species at θ; with `gradient`, also
    /// their derivatives with respect to θ (one row per free species, kJ/mol per SI unit).
    std::vector<double> Potentials(const FileModel& f, const std::vector<double>& theta,
                                   Matrix* gradient = nullptr) const;

    /// G° (kJ/mol) of species s at a water state, and its gradient in θ when asked.
    double Potential(int s, const thermo::HkfWater& water, const std::vector<double>& theta,
                     std::vector<double>* gradient = nullptr) const;
};

/// Opens the data files (over threads, posting a line per file), checks them against the
/// series file and against the guards, and fills the model. Throws SeriesError naming the
/// file and the row of the first thing refused.
Model SetUpSeries(const SeriesFile& series, const SeriesOptions& options, class FileTasks& tasks);

}  // namespace varsel::series
