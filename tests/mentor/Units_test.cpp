#include "mentor/Units.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* abbreviation(const char* name, double* scaleOut = nullptr) {
    double scale = 1.0;
    const char* result = unitAbbreviation(name, scale);
    if (scaleOut) {
        *scaleOut = scale;
    }
    return result;
}

}  // namespace

TEST(Units, AbbreviationRecognisesExactSpellingsOnly) {
    for (const char* mm : {"mm", "Mm", "MM", "mm."}) {
        EXPECT_STREQ(abbreviation(mm), "mm") << mm;
    }
    EXPECT_STREQ(abbreviation("CM"), "cm");
    EXPECT_STREQ(abbreviation("inches."), "in");
    EXPECT_STREQ(abbreviation("Mils"), "mil");
    for (const char* other : {"INCHES", "mM", "", "microns", "mm..", "Inch"}) {
        EXPECT_STREQ(abbreviation(other), "m") << other;
    }
    double scale = 0;
    EXPECT_STREQ(abbreviation("TENTH MILS", &scale), "mil");
    EXPECT_EQ(scale, 10.0);
    EXPECT_STREQ(abbreviation("Mils", &scale), "mil");
    EXPECT_EQ(scale, 1.0) << "only tenth mils touch the scale";
}

TEST(Units, ConversionFactorUsesTheFixedTable) {
    // Values straight from the export's unit table (target row, source column).
    EXPECT_EQ(conversionFactor("mils", "Tenth Mils"), 10.0);
    EXPECT_EQ(conversionFactor("Inches", "tenth mils"), 0.01);
    EXPECT_EQ(conversionFactor("mm", "inches"), 25.400000000101603);
    EXPECT_EQ(conversionFactor("Mils", "mm"), 39.37007874);
    EXPECT_EQ(conversionFactor("cm", "MILS"), 0.0025400000000101604);
    EXPECT_EQ(conversionFactor("microns", "Inches"), 25400.0000001016);
    EXPECT_EQ(conversionFactor("inches", "Microns"), 3.937007874e-5);
    EXPECT_EQ(conversionFactor("TENTH MILS", "cm"), 39.37007874);
    EXPECT_EQ(conversionFactor("mm", "mm"), 1.0);
}

TEST(Units, ConversionFactorTrailingPointAndUnknownNames) {
    // The target loses its trailing point, the source does not.
    EXPECT_EQ(conversionFactor("mm.", "mm"), 1.0);
    EXPECT_EQ(conversionFactor("inches.", "mm"), 0.039370078739999995);
    EXPECT_EQ(conversionFactor("inches", "mm."), 1.0);
    EXPECT_EQ(conversionFactor("furlong", "mm"), 1.0);
    EXPECT_EQ(conversionFactor("mm", "INCHES"), 1.0);
    EXPECT_EQ(conversionFactor("", ""), 1.0);
}

TEST(Units, LengthInPointsTruncates) {
    EXPECT_EQ(lengthInPoints(12.9, "Inches"), 928);  // 928.8
    EXPECT_EQ(lengthInPoints(-12.9, "Inches"), -928);
    EXPECT_EQ(lengthInPoints(1000, "mils"), 72);
    EXPECT_EQ(lengthInPoints(100, "Tenth Mils"), 72);  // tenth mils count as ten mils
    // 25.4 mm is one inch: 0.0254 / 0.0003527777777791889 = 71.99999999971..., so 71.
    EXPECT_EQ(lengthInPoints(25.4, "mm"), 71);
    EXPECT_EQ(lengthInPoints(3.6, "mm"), 10);  // 10.2047...
    EXPECT_EQ(lengthInPoints(123456.0, "parsecs"), 10);
    EXPECT_EQ(lengthInPoints(1e300, "Inches"), 2147483647) << "saturates instead of overflow";
}

TEST(Units, ToleranceLengthIsTenNanometres) {
    EXPECT_EQ(toleranceLength("mm"), 1e-5);
    EXPECT_EQ(toleranceLength("cm"), 1e-6);
    EXPECT_EQ(toleranceLength("inches."), 3.9370078739999996e-7);
    EXPECT_EQ(toleranceLength("Mils"), 0.0003937007874);
    EXPECT_EQ(toleranceLength("Tenth Mils"), 3.937007874e-5);
    EXPECT_EQ(toleranceLength("Microns"), 1e-8);
    EXPECT_EQ(toleranceLength("anything"), 1e-8);
}
