#pragma once

#include <string_view>

/// Board Station length units, recognised by name in the exact spellings the exports
/// use. "Tenth Mils" counts as ten mils (0.01 inch) in every function here. A single
/// trailing "." of the main argument is ignored.

/// The output unit text of a unit name: "mm", "cm", "in", "mil" (mils and tenth mils) or
/// "m" for anything else. Sets `scale` to 10.0 for tenth mils and leaves it alone
/// otherwise.
const char* unitAbbreviation(std::string_view unitName, double& scale);

/// The factor that turns a length in `source` units into `target` units; 1.0 when the
/// names are equal or either is not recognised. Only the target loses a trailing ".".
double conversionFactor(std::string_view target, std::string_view source);

/// A length in `unitsName` units (the board's units name) in whole points (1/72 inch),
/// truncated toward zero; 10 for an unrecognised unit.
int lengthInPoints(double length, std::string_view unitsName);

/// The length of 0.00001 mm (ten nanometres) in the named unit; the metre value 1e-8
/// for names not recognised (microns included).
double toleranceLength(std::string_view unitName);

/// The length below which two points of a plane or outline count as one, in the unit of an
/// output unit word ("mm", "cm", "in", "mil"; 1e-9 for any other). Case and a trailing "."
/// are ignored.
double geometryTolerance(std::string_view unitWord);
