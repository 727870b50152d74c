// Opening and checking the files of a series (SeriesModel.h).
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "engine/common/DataFolders.h"
#include "series/FileTasks.h"
#include "series/Guards.h"
#include "series/SeriesModel.h"
#include "services/EngineContract.h"

namespace fs = std::filesystem;

namespace varsel::series {

namespace {

std::string FileName(const std::string& path) {
    return fs::path(path).filename().string();
}

// The folder of a file, where names in it are resolved: the current one for a bare name.
fs::path FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? fs::current_path() : folder;
}

// The database file a name stands for, seen from `folder`, or empty.
fs::path ResolveDatabase(const std::string& name, const fs::path& folder) {
    const std::string_view extensions[] = {thermo::kDatabaseExtension, thermo::kSlopExtension};
    const fs::path path =
        engine::ResolveDataFile(name, engine::DataKind::Databases, folder, extensions);
    std::error_code error;
    return path.empty() ? path : fs::weakly_canonical(path, error);
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

std::string ParameterList() {
    std::string list;
    for (int k = 0; k < thermo::kHkfParameterCount; ++k) {
        list += (k == 0 ? "" : ", ") +
                std::string(thermo::HkfParameterName(static_cast<thermo::HkfParameter>(k)));
    }
    return list;
}

class Setup {
  public:
    Setup(const SeriesFile& series, const SeriesOptions& options, FileTasks& tasks)
        : series_(series), options_(options), tasks_(tasks), name_(FileName(series.Path)) {}

    Model Run() {
        Database();
        for (const SeriesFitRow& row : series_.Fits)
            FitRow(row);
        OpenFiles();
        for (std::size_t f = 0; f < model_.Files.size(); ++f)
            CheckFile(f);
        Guards();
        return std::move(model_);
    }

  private:
    [[noreturn]] void Fail(int row, const std::string& what) const {
        throw SeriesError(name_ + ", row " + std::to_string(row) + ": " + what);
    }

    void Database() {
        const fs::path folder = FolderOf(series_.Path);
        const fs::path path = ResolveDatabase(series_.Database, folder);
        if (path.empty()) {
            throw SeriesError(name_ + ": the database \"" + series_.Database +
                              "\" of the Database: row was not found (looked in: " +
                              engine::SearchedFoldersText(engine::DataKind::Databases, folder) +
                              ")");
        }
        try {
            model_.Database = thermo::Database::Load(path);
        } catch (const thermo::DatabaseError& error) {
            throw SeriesError(name_ + ": " + error.what());
        }
        model_.SourceDatabase = path.string();
        if (SameFile(series_.Output, path)) {
            throw SeriesError(name_ +
                              ": the Output: database must not be the database the "
                              "files name (" +
                              path.string() + "); give it a name of its own");
        }
    }

    void FitRow(const SeriesFitRow& row) {
        const thermo::SpeciesRecord* record = model_.Database.Find(row.Species);
        if (record == nullptr) {
            Fail(row.Row, row.Species + " is not in the database " + series_.Database);
        }
        const std::optional<thermo::HkfParameterValues> start =
            record->Role == thermo::SpeciesRole::Ordinary ? thermo::HkfParameterValuesOf(*record)
                                                          : std::nullopt;
        if (!start) {
            Fail(row.Row, row.Species +
                              " is not an aqueous species whose standard potential follows from "
                              "HKF parameters");
        }
        for (const FittedSpecies& earlier : model_.Species) {
            if (earlier.Name == record->Name) {
                Fail(row.Row, record->Name + " has a Fit: row already (row " +
                                  std::to_string(earlier.Row) + ")");
            }
        }
        FittedSpecies species;
        species.Name = record->Name;
        species.Record = *record;
        species.Start = *start;
        species.Estimated = !record->Hkf.has_value();
        species.Row = row.Row;
        const int s = static_cast<int>(model_.Species.size());
        for (const std::string& name : row.Parameters) {
            const std::optional<thermo::HkfParameter> kind = thermo::HkfParameterNamed(name);
            if (!kind) {
                Fail(row.Row,
                     "unknown parameter \"" + name + "\"; the parameters are " + ParameterList());
            }
            species.Parameters.push_back(model_.Count());
            model_.Parameters.push_back({s, *kind});
        }
        model_.Species.push_back(std::move(species));
    }

    void OpenFiles() {
        const std::size_t count = series_.Files.size();
        std::vector<std::optional<Problem>> opened(count);
        OpenOptions open;
        open.IgnoreLimits = options_.IgnoreLimits;
        tasks_.Run(count, [&](std::size_t f) {
            const std::string& path = series_.Files[f];
            if (SameFile(path, series_.Output)) {
                Fail(series_.FileRows[f], FileName(path) + " is the Output: database");
            }
            try {
                opened[f].emplace(Problem::Open(path, open));
            } catch (const OpenError& error) {
                Fail(series_.FileRows[f], FileName(path) + ": " + error.what());
            }
            char line[160];
            std::snprintf(line, sizeof line, "Read %s: %g C, %.4g bar, %zu samples",
                          FileName(path).c_str(), opened[f]->TemperatureC(),
                          opened[f]->PressureBar(), opened[f]->Samples().size());
            tasks_.Post(line);
        });
        for (std::size_t f = 0; f < count; ++f) {
            FileModel file{FileName(series_.Files[f]), std::move(*opened[f]), {}, {}, 0, 0, {}, {}};
            model_.Files.push_back(std::move(file));
        }
    }

    int FittedIndex(const std::string& name) const {
        const thermo::SpeciesRecord* record = model_.Database.Find(name);
        for (std::size_t s = 0; s < model_.Species.size(); ++s) {
            if (record != nullptr && model_.Species[s].Name == record->Name) {
                return static_cast<int>(s);
            }
        }
        return -1;
    }

    void CheckFile(std::size_t f) {
        FileModel& file = model_.Files[f];
        const Problem& data = file.Data;
        const int row = series_.FileRows[f];
        const fs::path database = ResolveDatabase(data.Database(), FolderOf(series_.Files[f]));
        if (database.empty() || !SameFile(database, model_.SourceDatabase)) {
            Fail(row, file.Name + " names the database \"" + data.Database() +
                          "\", not the series' \"" + series_.Database + "\"");
        }
        for (const SpeciesEntry& entry : data.Species()) {
            const int s = FittedIndex(entry.Name);
            const std::string where = file.Name + ", row " + std::to_string(entry.Row) + ": ";
            if (entry.Free && s < 0) {
                Fail(row, where + entry.Name +
                              " is free (its Result is empty) but no Fit: row names it");
            }
            if (!entry.Free && s >= 0) {
                Fail(row, where + entry.Name +
                              " has a Result; a species on a Fit: row must be free in every "
                              "file that lists it");
            }
            if (entry.Free) file.Free.push_back(s);
        }
        file.TemperatureC = data.TemperatureC();
        file.PressureBar = data.PressureBar();
        file.Modes = thermo::Modes::FromFlags(OptionFlagWord(data.Options()));
        // The engine's own temperature: the file's °C as a float, plus 273.15, as a float.
        const auto tempK = static_cast<float>(file.TemperatureC + 273.15);
        const std::optional<thermo::HkfWater> water =
            thermo::InterfaceWater(tempK, static_cast<float>(file.PressureBar), file.Modes);
        if (!water)
            Fail(row, file.Name + ": the water properties at its T and P cannot be computed");
        file.Water = *water;
        for (const SamplePoint& sample : data.Samples())
            file.Weights.push_back(sample.Weight);
    }

    void Guards() {
        for (std::size_t s = 0; s < model_.Species.size(); ++s) {
            const FittedSpecies& species = model_.Species[s];
            std::vector<Condition> conditions;
            for (const FileModel& file : model_.Files) {
                if (std::find(file.Free.begin(), file.Free.end(), static_cast<int>(s)) !=
                    file.Free.end()) {
                    conditions.push_back({file.TemperatureC, file.PressureBar});
                }
            }
            if (conditions.empty()) {
                Fail(species.Row,
                     species.Name + " is on a Fit: row but no data file lists it free");
            }
            std::vector<std::string> names;
            for (int p : species.Parameters) {
                names.emplace_back(thermo::HkfParameterName(model_.Parameters[p].Kind));
            }
            std::string refusal;
            std::vector<std::string> applied =
                CheckGuards(species.Name, names, conditions, refusal);
            if (!refusal.empty()) Fail(species.Row, refusal);
            model_.Guards.insert(model_.Guards.end(), applied.begin(), applied.end());
        }
    }

    const SeriesFile& series_;
    const SeriesOptions& options_;
    FileTasks& tasks_;
    std::string name_;
    Model model_;
};

}  // namespace

std::vector<double> Model::Start() const {
    std::vector<double> theta;
    for (const FittedParameter& p : Parameters)
        theta.push_back(Species[p.Species].Start[static_cast<std::size_t>(p.Kind)]);
    return theta;
}

thermo::HkfParameterValues Model::ValuesOf(int s, const std::vector<double>& theta) const {
    thermo::HkfParameterValues values = Species[s].Start;
    for (int p : Species[s].Parameters)
        values[static_cast<std::size_t>(Parameters[p].Kind)] = theta[p];
    return values;
}

double Model::Potential(int s, const thermo::HkfWater& water, const std::vector<double>& theta,
                        std::vector<double>* gradient) const {
    const thermo::HkfParameterValues values = ValuesOf(s, theta);
    const double charge = Species[s].Record.Charge();
    if (gradient != nullptr) {
        const thermo::HkfParameterValues d = thermo::HkfGibbsGradient(values, charge, water);
        gradient->assign(Parameters.size(), 0.0);
        for (int p : Species[s].Parameters)
            (*gradient)[p] = d[static_cast<std::size_t>(Parameters[p].Kind)] / 1000.0;
    }
    return thermo::HkfGibbsOf(values, charge, water) / 1000.0;
}

std::vector<double> Model::Potentials(const FileModel& f, const std::vector<double>& theta,
                                      Matrix* gradient) const {
    std::vector<double> values;
    if (gradient != nullptr) *gradient = Matrix(static_cast<int>(f.Free.size()), Count());
    std::vector<double> row;
    for (std::size_t i = 0; i < f.Free.size(); ++i) {
        values.push_back(Potential(f.Free[i], f.Water, theta, gradient ? &row : nullptr));
        if (gradient == nullptr) continue;
        for (int p = 0; p < Count(); ++p)
            (*gradient)(static_cast<int>(i), p) = row[p];
    }
    return values;
}

Model SetUpSeries(const SeriesFile& series, const SeriesOptions& options, FileTasks& tasks) {
    return Setup(series, options, tasks).Run();
}

}  // namespace varsel::series
