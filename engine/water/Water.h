// Water substance for the engine: the IAPWS-95 equation of state, the liquid-vapour
// saturation curve, the standard Gibbs energy of water in the apparent-formation convention
// of the SUPCRT-family data, the static dielectric constant with the Born functions, the
// solvent function g of the revised HKF equations, the ionisation constant of water and the
// Debye-Hückel parameters.
//
// Units are SI throughout: temperature in K, pressure in Pa, density in kg/m³, energies in
// J/mol. Callers at the engine's interface convert to bar, g/cm³ and kJ/mol in one place.
//
// Every function returns a finite number or throws varsel::RuntimeFailure(kEngineFailure)
// with a message that names the values that caused it; none returns NaN.
#pragma once

#include "engine/water/ApparentGibbs.h"
#include "engine/water/DebyeHuckel.h"
#include "engine/water/Dielectric.h"
#include "engine/water/GFunction.h"
#include "engine/water/Iapws95.h"
#include "engine/water/IonProduct.h"
#include "engine/water/Saturation.h"
