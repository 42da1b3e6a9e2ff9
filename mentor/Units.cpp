#include "mentor/Units.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

enum class Unit { Mm, Cm, Inch, Mil, TenthMil, Micron, Unknown };

std::string_view withoutTrailingPoint(std::string_view name) {
    if (!name.empty() && name.back() == '.') {
        name.remove_suffix(1);
    }
    return name;
}

// Every function recognises the same spellings; only conversionFactor and
// lengthInPoints know microns.
Unit recognise(std::string_view name, bool withMicrons) {
    if (name == "Mm" || name == "mm" || name == "MM") {
        return Unit::Mm;
    }
    if (name == "Cm" || name == "cm" || name == "CM") {
        return Unit::Cm;
    }
    if (name == "Inches" || name == "inches") {
        return Unit::Inch;
    }
    if (name == "MILS" || name == "Mils" || name == "mils") {
        return Unit::Mil;
    }
    if (name == "Tenth Mils" || name == "tenth mils" || name == "TENTH MILS") {
        return Unit::TenthMil;
    }
    if (withMicrons && (name == "microns" || name == "Microns")) {
        return Unit::Micron;
    }
    return Unit::Unknown;
}

// The factors are fixed constants, not computed, so that they match the exports'
// own tables to the last bit. Rows: target; columns: source.
constexpr double k_Factors[6][6] = {
    // mm, cm, inch, mil, tenth mil, micron (source)
    {1.0, 10.0, 25.400000000101603, 0.0254000000001016, 0.254000000001016, 0.001},
    {0.1, 1.0, 2.5400000000101604, 0.0025400000000101604, 0.0254000000001016, 0.0001},
    {0.039370078739999995, 0.3937007874, 1.0, 0.001, 0.01, 3.937007874e-5},
    {39.37007874, 393.70078739999997, 1000.0, 1.0, 10.0, 0.039370078739999995},
    {3.937007874, 39.37007874, 100.0, 0.1, 1.0, 0.003937007874},
    {1000.0, 10000.0, 25400.0000001016, 25.400000000101603, 254.00000000101602, 1.0},
};

constexpr double k_PointInMetres = 0.0003527777777791889;

}  // namespace

const char* unitAbbreviation(std::string_view unitName, double& scale) {
    switch (recognise(withoutTrailingPoint(unitName), false)) {
    case Unit::Mm:
        return "mm";
    case Unit::Cm:
        return "cm";
    case Unit::Inch:
        return "in";
    case Unit::Mil:
        return "mil";
    case Unit::TenthMil:
        scale = 10.0;
        return "mil";
    default:
        return "m";
    }
}

double conversionFactor(std::string_view target, std::string_view source) {
    target = withoutTrailingPoint(target);
    if (source == target) {
        return 1.0;
    }
    const Unit t = recognise(target, true);
    const Unit s = recognise(source, true);
    if (t == Unit::Unknown || s == Unit::Unknown) {
        return 1.0;
    }
    return k_Factors[static_cast<int>(t)][static_cast<int>(s)];
}

int lengthInPoints(double length, std::string_view unitsName) {
    double points = 0;
    switch (recognise(withoutTrailingPoint(unitsName), true)) {
    case Unit::Mm:
        points = length * 0.001 / k_PointInMetres;
        break;
    case Unit::Cm:
        points = length * 0.01 / k_PointInMetres;
        break;
    case Unit::Inch:
        points = length * 72.0;
        break;
    case Unit::Mil:
        points = length * 72.0 * 0.001;
        break;
    case Unit::TenthMil:
        points = length * 72.0 * 0.01;
        break;
    case Unit::Micron:
        points = length * 1e-6 / k_PointInMetres;
        break;
    case Unit::Unknown:
        return 10;
    }
    // Truncation toward zero; values outside 32 bits (or NaN) have no meaning as a text
    // size, so they saturate instead of invoking undefined behaviour.
    if (std::isnan(points)) {
        return 0;
    }
    if (points >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (points <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<int>(points);
}

double toleranceLength(std::string_view unitName) {
    switch (recognise(withoutTrailingPoint(unitName), false)) {
    case Unit::Mm:
        return 1e-5;
    case Unit::Cm:
        return 1e-6;
    case Unit::Inch:
        return 3.9370078739999996e-7;
    case Unit::Mil:
        return 0.0003937007874;
    case Unit::TenthMil:
        return 3.937007874e-5;
    default:
        return 1e-8;
    }
}

double geometryTolerance(std::string_view unitWord) {
    if (!unitWord.empty() && unitWord.back() == '.') {
        unitWord.remove_suffix(1);
    }
    const auto is = [&](std::string_view word) {
        return unitWord.size() == word.size()
               && std::equal(word.begin(), word.end(), unitWord.begin(), [](char w, char u) {
                      return w == std::tolower(static_cast<unsigned char>(u));
                  });
    };
    if (is("mm")) {
        return 1e-10;
    }
    if (is("cm")) {
        return 1e-7;
    }
    if (is("in")) {
        return 4e-8;
    }
    if (is("mil")) {
        return 4e-5;
    }
    return 1e-9;
}
