#include "ground/cp1252.h"
#include "ground/documents.h"

#include <gtest/gtest.h>

using namespace kelvo;

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    bool ok = false;
    EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all), &ok), all);
    EXPECT_TRUE(ok);
    EXPECT_EQ(cp1252_to_unicode(0x80), U'\u20AC');
    EXPECT_EQ(cp1252_to_unicode(0x81), U'\u0081');
    EXPECT_EQ(cp1252_to_unicode(0x9D), U'\u009D');
    EXPECT_EQ(cp1252_to_utf8("\xB5l"), "\xC2\xB5l");
    EXPECT_EQ(cp1252_to_utf8("m\xB0" "C"), "m\xC2\xB0" "C");
}

TEST(Cp1252, UnrepresentableAndBrokenInputIsMarked)
{
    bool ok = true;
    EXPECT_EQ(utf8_to_cp1252("a\xE2\x82\xACz", &ok), "a\x80z");
    EXPECT_TRUE(ok);
    EXPECT_EQ(utf8_to_cp1252("\xE6\xBC\xA2", &ok), "?");  // a CJK character
    EXPECT_FALSE(ok);
    EXPECT_EQ(utf8_to_cp1252("x\xC3", &ok), "x?");  // cut short
    EXPECT_FALSE(ok);
}

TEST(Documents, PathsUseTheMethodFolderAndExtension)
{
    const std::string old = method_folder();
    set_method_folder("/lab/methods");
    EXPECT_EQ(document_path("Wash.old", macro_extension), "/lab/methods/Wash.kma");
    EXPECT_EQ(document_path("Assay", method_extension()), "/lab/methods/Assay.KME");
    set_masslynx_mode(true);
    EXPECT_EQ(document_path("Assay", method_extension()), "/lab/methods/Assay.CDZ");
    set_masslynx_mode(false);
    EXPECT_EQ(saved_configuration_path(), "/lab/methods/latest_kelvo.kol");
    set_method_folder(old);
}
