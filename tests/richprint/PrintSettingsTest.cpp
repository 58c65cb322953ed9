#include "richprint/PrintSettings.h"

#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

using namespace richprint;
using platform::core::UserStore;

namespace {

const QString kKey = QStringLiteral("RichPrint.Settings\\Marges");

// The store's file lies in a temporary config folder.
class StoreFolder : public testing::Test {
protected:
    QTemporaryDir dir;
    UserStore store{dir.filePath(QStringLiteral("UserStore.json"))};
};

TEST_F(StoreFolder, SettingsRoundTripWithTheirStoredTypes)
{
    const StoredPrintSettings saved{20.5, 30, 25, 15.25, false, false, true};
    SavePrintSettings(store, saved);
    const auto loaded = LoadPrintSettings(store);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->marginLeft, 20.5);
    EXPECT_EQ(loaded->marginRight, 15.25);
    EXPECT_FALSE(loaded->millimeters);
    EXPECT_FALSE(loaded->portrait);
    EXPECT_TRUE(loaded->plainText);
    EXPECT_EQ(store.readString(kKey, "CodeMeasurement"), "0");
    EXPECT_EQ(store.readBinary(kKey, "MarginTop")->size(), 8u);
}

TEST_F(StoreFolder, NoMargesKeyMeansNoSettingsButCreatesTheParentKey)
{
    EXPECT_FALSE(LoadPrintSettings(store));
    EXPECT_TRUE(store.keyExists("RichPrint.Settings"));
}

struct BadMarginCase {
    const char* name;
    std::function<void(UserStore&)> spoil;
};

class BadMargins : public StoreFolder, public testing::WithParamInterface<BadMarginCase> {};

TEST_P(BadMargins, FailWithTheTypeError)
{
    SavePrintSettings(store, StoredPrintSettings{25, 30, 25, 15, true, true, false});
    GetParam().spoil(store);
    try {
        LoadPrintSettings(store);
        FAIL() << "loaded";
    } catch (const platform::core::ERegistryTypeError& e) {
        EXPECT_STREQ(e.what(), "Ungültiger Datentyp für 'MarginTop'");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadMargins,
    testing::Values(
        BadMarginCase{"Missing", [](UserStore& s) { s.deleteValue(kKey, "MarginTop"); }},
        BadMarginCase{"String", [](UserStore& s) { s.writeString(kKey, "MarginTop", "30"); }},
        BadMarginCase{"FourBytes", [](UserStore& s) { s.writeBinary(kKey, "MarginTop", "abcd"); }}),
    [](const auto& info) { return std::string(info.param.name); });

struct IntegerCase {
    const char* name;
    std::optional<std::string> text;
    int expected;
};

class Integers : public testing::TestWithParam<IntegerCase> {};

TEST_P(Integers, ReadDecimalOrHexAndZeroOtherwise)
{
    EXPECT_EQ(ParseStoredInteger(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Integers,
                         testing::Values(IntegerCase{"Decimal", "1", 1}, IntegerCase{"Hex", "0x1F", 31},
                                         IntegerCase{"HexUpper", "0X10", 16},
                                         IntegerCase{"Missing", std::nullopt, 0},
                                         IntegerCase{"NotANumber", "yes", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
