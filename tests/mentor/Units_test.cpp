#include "mentor/Units.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

const char* const k_Units[] = {"mm", "cm", "inches", "mils", "tenth mils", "microns"};

}  // namespace

TEST(Units, AbbreviationRecognisesExactSpellingsOnly) {
    std::string got;
    for (const char* name : {"mm", "Mm", "MM", "mm.", "CM", "inches.", "Mils", "TENTH MILS",
                             "INCHES", "mM", "", "microns", "mm..", "Inch"}) {
        double scale = 1;
        got += std::string(name) + "=" + unitAbbreviation(name, scale);
        got += scale == 1 ? " " : "*" + std::to_string(static_cast<int>(scale)) + " ";
    }
    // Any other spelling is no unit, and the abbreviation is the metre's; only tenth mils
    // touch the scale.
    EXPECT_EQ(got,
              "mm=mm Mm=mm MM=mm mm.=mm CM=cm inches.=in Mils=mil TENTH MILS=mil*10 "
              "INCHES=m mM=m =m microns=m mm..=m Inch=m ");
}

TEST(Units, ConversionFactors) {
    // Converting from a to b and on to c is converting from a to c, within rounding: a
    // wrong or transposed entry of the table breaks some chain.
    for (const char* a : k_Units) {
        for (const char* b : k_Units) {
            for (const char* c : k_Units) {
                EXPECT_NEAR(
                    conversionFactor(b, a) * conversionFactor(c, b) / conversionFactor(c, a), 1.0,
                    1e-9)
                    << a << " to " << b << " to " << c;
            }
        }
    }
    // The exports' own values, kept to the last bit (not 25.4 and 1 / 0.0254).
    EXPECT_EQ(conversionFactor("mm", "inches"), 25.400000000101603);
    EXPECT_EQ(conversionFactor("Mils", "mm"), 39.37007874);
    // A mil is a thousandth of an inch; tenth mils count as ten mils.
    EXPECT_EQ(conversionFactor("MILS", "Inches"), 1000.0);
    EXPECT_EQ(conversionFactor("mils", "Tenth Mils"), 10.0);
    // Only the target loses a trailing point; an unknown name or equal names give 1.
    EXPECT_EQ(conversionFactor("inches.", "mm"), conversionFactor("inches", "mm"));
    const std::pair<const char*, const char*> unconverted[] = {
        {"mm.", "mm"}, {"inches", "mm."}, {"furlong", "mm"}, {"mm", "INCHES"}, {"", ""}};
    for (const auto& [target, source] : unconverted) {
        EXPECT_EQ(conversionFactor(target, source), 1.0) << target << " from " << source;
    }
}

TEST(Units, LengthInPointsTruncates) {
    struct Case {
        double length;
        const char* unit;
        int points;
    };
    const Case cases[] = {
        {12.9, "Inches", 928},  // 928.8
        {-12.9, "Inches", -928},
        {1000, "mils", 72},
        {100, "Tenth Mils", 72},
        // 25.4 mm is one inch: 0.0254 / 0.0003527777777791889 = 71.99999999971...
        {25.4, "mm", 71},
        {3.6, "mm", 10},  // 10.2047...
        {123456.0, "parsecs", 10},
        {1e300, "Inches", 2147483647},  // saturates instead of overflowing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lengthInPoints(c.length, c.unit), c.points) << c.length << " " << c.unit;
    }
}

TEST(Units, ToleranceLengthIsTenNanometres) {
    // 1e-5 mm in each unit that toleranceLength knows.
    for (const char* name : {"mm", "cm", "inches.", "Mils", "Tenth Mils"}) {
        EXPECT_DOUBLE_EQ(toleranceLength(name), 1e-5 * conversionFactor(name, "mm")) << name;
    }
    // Microns are not among them: the metre value, as for any unknown name.
    EXPECT_EQ(toleranceLength("Microns"), 1e-8);
    EXPECT_EQ(toleranceLength("anything"), 1e-8);
}
