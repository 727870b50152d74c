"""Varsel fits the standard Gibbs energies of aqueous species to experiments on aqueous
solutions.

Units: temperatures in °C, pressures in bar, standard potentials (apparent standard Gibbs
energies of formation at the problem's temperature and pressure) in kJ/mol, molalities in
mol/kg of water; X and Y as the data file's axes define them.
"""

import os
from typing import Literal, Optional, Union

import numpy
import numpy.typing

__version__: str

FloatArray = numpy.typing.NDArray[numpy.float64]
PressureArg = Union[float, Literal["sat"]]

class EngineError(ValueError):
    """The engine cannot answer (limits, steam, an unknown substance, a database or System it
    cannot read); the message is varsel-thermo's."""

class Species:
    """One species of a problem's species table."""

    @property
    def name(self) -> str: ...
    @property
    def initial(self) -> float:
        """Where a fit starts, kJ/mol."""
    @property
    def value(self) -> float:
        """kJ/mol: the file's Result of a fixed species, the fit's of a free one."""
    @property
    def half_width(self) -> float:
        """The 95 % half-width, kJ/mol; 0 when none is known."""
    @property
    def free(self) -> bool:
        """Fitted (its Result was empty), else held at value."""

class SampleTable:
    """The samples of a problem or a fit, one row per sample in file order (copies)."""

    @property
    def name(self) -> list[str]: ...
    @property
    def x(self) -> FloatArray:
        """X of each sample, in the X axis' quantity."""
    @property
    def y_exp(self) -> FloatArray:
        """The measured Y."""
    @property
    def y_calc(self) -> FloatArray:
        """The calculated Y (0 before a fit)."""
    @property
    def error(self) -> FloatArray:
        """Y (calc) - Y (exp)."""
    @property
    def weight(self) -> FloatArray:
        """The weights; 0 leaves a sample out of the fit."""
    def __len__(self) -> int: ...

class FitResult:
    """What a fit learned."""

    @property
    def succeeded(self) -> bool: ...
    @property
    def failure(self) -> Optional[str]:
        """Why the fit failed or stopped."""
    @property
    def nothing_to_fit(self) -> bool: ...
    @property
    def saved(self) -> bool:
        """The results are in the data file."""
    @property
    def messages(self) -> list[str]: ...
    @property
    def species(self) -> list[str]:
        """The fitted species, in file order."""
    @property
    def values(self) -> FloatArray:
        """The fitted standard potentials, kJ/mol."""
    @property
    def half_widths(self) -> FloatArray:
        """The 95 % half-widths, kJ/mol; NaN where none could be estimated."""
    @property
    def fixed(self) -> dict[str, float]:
        """The species held at their Result, kJ/mol."""
    @property
    def correlation(self) -> FloatArray:
        """n x n correlation of the fitted species; shape (0, 0) when not estimated."""
    @property
    def samples(self) -> SampleTable: ...
    @property
    def mean_error_before(self) -> Optional[float]:
        """sqrt(S / sum of weights) at the initial values, in units of Y."""
    @property
    def mean_error_after(self) -> Optional[float]:
        """The same at the values found."""
    @property
    def iterations(self) -> int: ...
    @property
    def engine_calculations(self) -> int: ...
    @property
    def wall_seconds(self) -> float:
        """The fit's duration, s."""
    @property
    def flags(self) -> list[str]: ...
    @property
    def x_label(self) -> str: ...
    @property
    def y_label(self) -> str: ...
    @property
    def intervals(self) -> Optional[Intervals]:
        """The profile and bootstrap intervals fit(profile=, bootstrap=) asked for; None when
        none were asked for or the fit failed."""
    def to_json(self) -> str:
        """The JSON report that varsel-cli --report FILE.json writes, with the intervals."""

Interval = tuple[Optional[float], Optional[float]]

class Intervals:
    """The 95 % intervals of the fitted species beyond the linear half-widths, kJ/mol, in the
    order of FitResult.species. A None end is unbounded within 1000 kJ/mol or was not found."""

    @property
    def species(self) -> list[str]: ...
    @property
    def values(self) -> FloatArray:
        """kJ/mol."""
    @property
    def linear_joint(self) -> FloatArray:
        """Linear half-widths at the joint threshold, kJ/mol; NaN where none."""
    @property
    def linear_individual(self) -> FloatArray:
        """Linear half-widths at the individual threshold (chi-square 3.841), kJ/mol."""
    @property
    def profile_joint(self) -> Optional[list[Interval]]:
        """Profile intervals (lo, hi) at the joint threshold, kJ/mol; None without profile."""
    @property
    def profile_individual(self) -> Optional[list[Interval]]:
        """The same at the individual threshold."""
    @property
    def bootstrap(self) -> Optional[list[Interval]]:
        """The bootstrap's 2.5 and 97.5 % percentiles, kJ/mol; None without bootstrap."""
    @property
    def replicate_values(self) -> FloatArray:
        """The species' values in each refitted replicate (replicates x species), kJ/mol."""
    @property
    def replicates(self) -> int: ...
    @property
    def failed(self) -> int: ...
    @property
    def first_failure(self) -> Optional[str]: ...
    @property
    def seed(self) -> int: ...
    @property
    def joint_threshold(self) -> float: ...
    @property
    def individual_threshold(self) -> float: ...
    @property
    def scale(self) -> float:
        """1, or the reduced chi-square with scale_by_fit."""
    @property
    def methods(self) -> list[str]: ...
    @property
    def flags(self) -> list[str]: ...
    @property
    def failure(self) -> Optional[str]: ...
    @property
    def wall_seconds(self) -> float:
        """s."""

class Problem:
    """A data file read into a problem that can be changed, evaluated and fitted without
    writing the file."""

    @property
    def path(self) -> str: ...
    @property
    def title(self) -> str: ...
    @property
    def temperature(self) -> float:
        """°C."""
    @property
    def pressure(self) -> float:
        """bar."""
    @property
    def database(self) -> str: ...
    @property
    def system(self) -> str: ...
    @property
    def x_axis(self) -> str: ...
    @property
    def y_axis(self) -> str: ...
    @property
    def species(self) -> list[Species]: ...
    @property
    def samples(self) -> SampleTable: ...
    def set_species(
        self,
        species: Union[int, str],
        *,
        initial: Optional[float] = None,
        value: Optional[float] = None,
        free: Optional[bool] = None,
    ) -> None:
        """Changes one species (kJ/mol); the file is not written."""
    def set_samples(
        self,
        *,
        y_exp: Optional[numpy.typing.ArrayLike] = None,
        weight: Optional[numpy.typing.ArrayLike] = None,
    ) -> None:
        """Sets every sample's measured Y and/or weight; the file is not written."""
    def evaluate(self, values: list[float], derivatives: bool = False) -> dict[str, object]:
        """S, y_calc, residuals and (with derivatives) the Jacobian at these free values."""
    def fit(
        self,
        *,
        save: bool = False,
        save_on_failure: bool = False,
        intervals: bool = True,
        profile: bool = False,
        bootstrap: int = 0,
        seed: Optional[int] = None,
        threads: int = 0,
        scale_by_fit: bool = False,
    ) -> FitResult:
        """Fits the free species and, after a successful fit, estimates the profile intervals
        (profile=True) and bootstrap=N replicates (seed 0 .. 2**53 - 1, threads 0: all
        cores) into result.intervals; releases the GIL, Ctrl+C raises KeyboardInterrupt."""
    def copy(self) -> Problem:
        """A copy with its own engine session."""

def read(path: Union[str, os.PathLike[str]], *, ignore_limits: bool = False) -> Problem:
    """Reads a text data file. Raises OSError (with the path) or ValueError (the reader's
    message and position)."""

class SeriesParameter:
    """One fitted parameter, in the unit of the database's entries."""

    @property
    def species(self) -> str: ...
    @property
    def name(self) -> str:
        """G, S, c1, c2, omega, a1 ... a4."""
    @property
    def initial(self) -> float: ...
    @property
    def value(self) -> float: ...
    @property
    def half_width(self) -> float:
        """95 %."""
    @property
    def unit(self) -> str:
        """cal/mol, cal/(mol K), ..."""

class SeriesFileResult:
    """One data file of a series; standard potentials in kJ/mol at its T and P."""

    @property
    def name(self) -> str: ...
    @property
    def temperature(self) -> float:
        """°C."""
    @property
    def pressure(self) -> float:
        """bar."""
    @property
    def species(self) -> list[str]: ...
    @property
    def values(self) -> FloatArray:
        """The file's own fit, kJ/mol; NaN where it gave none."""
    @property
    def half_widths(self) -> FloatArray:
        """95 %, kJ/mol, of the file's own fit."""
    @property
    def series_values(self) -> FloatArray:
        """From the series' parameters, kJ/mol."""
    @property
    def series_half_widths(self) -> FloatArray:
        """95 %, kJ/mol."""
    @property
    def own_fit_failure(self) -> Optional[str]: ...
    @property
    def samples(self) -> SampleTable:
        """Y (calc) and error at the series' parameters."""

class SeriesResult:
    """What a series fit learned."""

    @property
    def succeeded(self) -> bool: ...
    @property
    def failure(self) -> Optional[str]: ...
    @property
    def title(self) -> str: ...
    @property
    def path(self) -> str: ...
    @property
    def method(self) -> str:
        """one-step or two-step."""
    @property
    def files(self) -> list[SeriesFileResult]: ...
    @property
    def parameters(self) -> list[SeriesParameter]: ...
    @property
    def covariance(self) -> FloatArray:
        """In the parameters' units."""
    @property
    def correlation(self) -> FloatArray: ...
    @property
    def chi_square(self) -> float: ...
    @property
    def degrees_of_freedom(self) -> int: ...
    @property
    def probability(self) -> float:
        """Of a chi-square as large."""
    @property
    def guards(self) -> list[str]: ...
    @property
    def flags(self) -> list[str]: ...
    @property
    def output_database(self) -> Optional[str]: ...
    @property
    def output_table(self) -> Optional[str]: ...
    @property
    def iterations(self) -> int: ...
    @property
    def wall_seconds(self) -> float:
        """s."""

def fit_series(
    path: Union[str, os.PathLike[str]],
    *,
    save: bool = False,
    threads: int = 0,
    ignore_limits: bool = False,
) -> SeriesResult:
    """Fits a series file's parameters to all its data files; save=True writes the output
    database and its table row. Raises OSError (with the path) or ValueError (file and row);
    releases the GIL, Ctrl+C raises KeyboardInterrupt."""

class Engine:
    """Varsel's engine without a data file: °C, bar, kJ/mol, mol/kg."""

    def __init__(
        self,
        database: str = "thermo",
        *,
        ignore_limits: bool = False,
        constant_omega: bool = False,
        marshall_franck_kw: bool = False,
        fernandez_dielectric: bool = False,
        work_folder: str = "",
    ) -> None: ...
    @property
    def database(self) -> str:
        """The database file that was opened."""
    def standard_potential(self, species: str, T: float, P: PressureArg) -> float:
        """Apparent standard Gibbs energy of formation, kJ/mol."""
    def substance(self, species: str, T: float, P: PressureArg) -> dict[str, object]:
        """name, type_code, G (kJ/mol) and model."""
    def water(self, T: float, P: PressureArg) -> dict[str, object]:
        """pressure (bar), density (g/cm3), dielectric_constant, saturation_pressure (bar),
        G (J/mol), log_kw, g_function (Å)."""
    def log_k(self, reaction: str, T: float, P: PressureArg) -> dict[str, object]:
        """log_k, delta_G (kJ/mol), terms and imbalance of a reaction."""
    def equilibrium(
        self,
        system: str,
        T: float,
        P: PressureArg,
        composition: Optional[dict[str, float]] = None,
        activity: str = "bdot",
        *,
        pH: Optional[float] = None,
        molal_pH: bool = False,
    ) -> dict[str, object]:
        """One kilogram of water with a System: numpy arrays species, molality (mol/kg),
        activity, log_activity, log_gamma, phases, phase_amount, phase_log_activity, and pH,
        ionic_strength (mol/kg), osmotic_coefficient, titrant, acid, base, pmc, pressure."""
