// The data file reader: every status code reached by a crafted file with its text and
// position (a pH among them), the engine's refusals, and the lifted limits.
#include <functional>

#include "PipelineFixture.h"
#include "support/FakeSpreadsheet.h"

namespace varsel::test {
namespace {

using Lines = std::vector<std::string>;

class ReaderTest : public PipelineTest {};

// One crafted file per status code: a row of the worked example replaced (or another edit of
// the file or the engine) and the exact message.
struct Crafted {
    int row;
    const char* text;
    const char* message;
    std::function<void(Lines&, EngineScript&)> edit = nullptr;
};

void Replace(Lines& lines, int row, const std::string& text) {
    lines.at(static_cast<std::size_t>(row - 1)) = text;
}

// H2O fixed with its potential left to the engine, O2,g given per sample.
void GasPerSample(Lines& l) {
    Replace(l, 8, "\tH2O\t");
    Replace(l, 16, "Sample\tO2,g\tNaCl\tWeight\tX\tY (exp)\tY (calc)\terror\textras");
    Replace(l, 17, "s1\t-10\t0.1\t1\t\t-1.05");
    Replace(l, 18, "s2\t-10\t0.5\t1\t\t-0.43");
}

const Crafted kCrafted[] = {
    {0, "", "unexpected error (short file?)", [](Lines& l, EngineScript&) { l.resize(14); }},
    {0, "",
     "unexpected error (short file?): the row count overflows: a data file holds at most "
     "32767 rows",
     [](Lines& l, EngineScript&) {
         l.pop_back();
         l.resize(32768, std::string(l[16]));
     }},
    {5, "T, C:\twarm", "unexpected error (short file?)"},
    {5, "T, C:\t1e39",
     "number out of range: values up to 3.4E+38, counts up to 32767 (row=5, col=2)"},
    {18, "s2\t\t0.5\t3.5e38\t\t-0.43",
     "number out of range: values up to 3.4E+38, counts up to 32767 (row=18, col=4)"},
    {17, "s1\t\t0.1\t1\t\t-1.05\rs2\t\t0.5",
     "line ended by a carriage return alone: save the file with LF or CR LF line ends (row=17, "
     "col=6)"},
    {2, "database:\tthermo", "incorrect keyword (row=2, col=1)"},
    {7, "P.m.c.:\t1\tpotential", "incorrect keyword (row=7, col=3)"},
    {8, "x\tO2,g\t-10", "incorrect keyword (row=8, col=1)"},
    {9, "Species:\t2\tInitial\tResult\t+-", "incorrect keyword (row=9, col=5)"},
    {2, "Database:", "no mandatory data (row=2, col=2)"},
    {10, "\t\t\t\t", "no mandatory data (row=10, col=2)"},
    {0, "", "no aqueous solution", [](Lines&, EngineScript& s) { s.System.HasAqueous = 0; }},
    {5, "T, C:\t1000.1", "T/P/D out of range"},
    {6, "P, bar:\t-1", "T/P/D out of range"},
    {0, "", "T/P/D out of range", [](Lines&, EngineScript& s) { s.Thermo.Density = 0.3f; }},
    {7, "P.m.c.:\t3\tPotential", "incorrect number of p.m.c. (row=7, col=2)"},
    {7, "P.m.c.:\t-1", "incorrect number of p.m.c. (row=7, col=2)"},
    {8, "\tHalite\t-10", "p.m.c. name is incorrect or absent (row=8, col=2)"},
    {0, "", "p.m.c. name is incorrect or absent (row=8, col=2)",
     [](Lines&, EngineScript& s) { s.Thermo.TypeCodes["O2,g"] = 100; }},
    {8, "\tO2,g\t", "potentials of gases are mandatory (row=8, col=3)"},
    {0, "", "potentials of gases are mandatory (row=18, col=2)",
     [](Lines& l, EngineScript&) {
         GasPerSample(l);
         Replace(l, 18, "s2\t\t0.5\t1\t\t-0.43");
     }},
    {8, "\tO2,g\t1e34", "could not calculate potential"},
    {0, "", "could not calculate potential",
     [](Lines&, EngineScript& s) { s.Thermo.Potentials.erase(2100); }},
    {9, "Species:\t9\tInitial\tResult\t \xB1", "incorrect number of species (row=9, col=2)"},
    {9, "Species:\t0\tInitial\tResult", "incorrect number of species (row=9, col=2)"},
    {10, "\tK+\t\t\t", "species not found in the database (row=10, col=2)"},
    {10, "\tHalite\t\t\t", "species is not an aqueous (row=10, col=2)"},
    {10, "\tSiO2,aq\t\t\t", "species not found in System file (row=10, col=2)"},
    {11, "\tNa+\t-261\t-261\t", "duplicated species found (row=11, col=2)"},
    {0, "", "could not calculate initial energy (row=10, col=3)",
     [](Lines&, EngineScript& s) { s.Thermo.Potentials.erase(10); }},
    {13, "X axis:\tm(Si)", "incorrect axis definition (row=13, col=2)"},
    {14, "Y axis:\tfixed", "incorrect axis definition (row=14, col=2)"},
    {16, "Sample\tH2O\tSiO2\tWeight\tX\tY (exp)\tY (calc)\terror\textras",
     "invalid formula of a substance (row=16, col=3)"},
    {16, "Sample\tH2O\tNaCl", "invalid formula of a substance (row=16, col=4)"},
    {16, "sample\tH2O\tNaCl\tWeight\tX\tY (exp)\tY (calc)\terror\textras",
     "incorrect data column (row=16, col=1)"},
    {16, "Sample\tH2O\tNaCl\tWeight\tX\tY (exp)\tY (calc)\terror",
     "incorrect data column (row=16, col=9)"},
    {17, "s1\t\t-0.1\t1\t\t-1.05", "composition value is invalid (row=17, col=3)"},
    {18, "s2\t\t0.5\t-1\t\t-0.43", "weight value is invalid (row=18, col=4)"},
    {13, "X axis:\tfixed", "fixed X value not defined (row=17, col=5)"},
    {0, "", "fixed X value is invalid (row=17, col=5)",
     [](Lines& l, EngineScript&) {
         Replace(l, 13, "X axis:\tfixed");
         Replace(l, 17, "s1\t\t0.1\t1\tlow\t-1.05");
     }},
    {17, "s1\t\t0.1\t1\t\t", "Y (exp) value not defined (row=17, col=6)"},
    {17, "s1\t\t0.1\t1\t\tn/a", "Y (exp) value is invalid (row=17, col=6)"},
    {16, "Sample\tO2,g\tNaCl\tWeight\tX\tY (exp)\tY (calc)\terror\textras",
     "p.m.c. appears twice (row=16, col=2)"},
    {17, "s1\thigh\t0.1\t1\t\t-1.05", "p.m.c. potential is invalid (row=17, col=2)"},
    {8, "\tpH\t7", "pH needs titrants in the System (row=8, col=2)"},
    {0, "", "pH value is invalid (row=8, col=3)",
     [](Lines& l, EngineScript& s) {
         s.System.BaseTitrant = "NaOH";
         Replace(l, 8, "\tpH\tneutral");
     }},
    {0, "", "p.m.c. appears twice (row=17, col=3)",
     [](Lines& l, EngineScript& s) {
         s.System.AcidTitrant = "HCl";
         Replace(l, 7, "P.m.c.:\t2\tPotential");
         l.insert(l.begin() + 8, "\tpH\t7");
         Replace(l, 17, "Sample\tH2O\tpH\tNaCl\tWeight\tX\tY (exp)\tY (calc)\terror\textras");
     }},
};

TEST_F(ReaderTest, EveryFailureHasItsCodeMessageAndPosition) {
    for (const Crafted& c : kCrafted) {
        SCOPED_TRACE(testing::Message() << c.message << ", row " << c.row << ": " << c.text);
        m = ProblemModel();
        m.WorkFolder = folder.AsWorkFolder();
        script = NaClScript();
        Lines lines = WorkedExample();
        if (c.row > 0) Replace(lines, c.row, c.text);
        if (c.edit) c.edit(lines, script);
        const int code = Read(lines);
        EXPECT_GT(code, 1);
        EXPECT_EQ(m.StatusCode, code);
        EXPECT_EQ(m.StatusText, c.message);
        EXPECT_TRUE(window.Messages.empty());
    }
}

TEST_F(ReaderTest, EngineThatCannotBeCreatedIsCode2) {
    script.RefuseToCreate = true;
    EXPECT_EQ(Read(WorkedExample()), 2);
    EXPECT_EQ(m.StatusText, "could not open the file: cannot create");
}

TEST_F(ReaderTest, EngineRefusalsStopQuietlyAfterShowingTheEngineText) {
    struct Refusal {
        std::string EngineScript::*message;
        const char* text;
        const char* shown;
    } refusals[] = {
        {&EngineScript::DatabaseMessage, "Database thermo not found", "Database thermo not found"},
        {&EngineScript::OptionsMessage, "Unknown option /zz", "Unknown option /zz"},
        {&EngineScript::SystemMessage, "System file nacl: no such file",
         "System file nacl: no such file"},
        {&EngineScript::SystemMessage, "", "The engine did not accept the System file nacl"},
        {&EngineScript::DatabaseMessage, "database \"th\x01\r\" not found",
         "database \"th\\x01\\r\" not found"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.text);
        script = NaClScript();
        script.*r.message = r.text;
        window.Messages.clear();
        m.StatusText = "left over";
        EXPECT_EQ(Read(WorkedExample()), -1);
        EXPECT_EQ(m.StatusText, "");
        EXPECT_EQ(window.Messages, (Shown{{r.shown, MessageButtons::Ok, MessageIcon::Critical}}));
    }
}

TEST_F(ReaderTest, RangeChecksAndTheSwitchThatLiftsThem) {
    Lines lines = WorkedExample();
    lines.pop_back();  // ending right after the last sample, as most editors save a file
    Replace(lines, 5, "T, C:\t1000");
    EXPECT_EQ(Read(lines), 0);

    Replace(lines, 5, "T, C:\t1000.1");
    m.IgnoreLimits = 3;
    script.Thermo.Density = 0.1f;
    EXPECT_EQ(Read(lines), 0) << "temperature and density limits lifted";
    EXPECT_TRUE(dynamic_cast<TableThermo&>(*m.Thermo).IgnoreLimits);

    Replace(lines, 6, "P, bar:\t0.5");
    EXPECT_EQ(Read(lines), 7) << "the pressure minimum of 1 bar always holds";

    Replace(lines, 6, "P, bar:\t0");
    script.Thermo.SaturationBar = 221.2f;
    EXPECT_EQ(Read(lines), 0);
    EXPECT_EQ(m.PressureBar, 221.2f);
}

}  // namespace
}  // namespace varsel::test
