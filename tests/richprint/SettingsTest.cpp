#include "PrintTestSupport.h"
#include "platform/gui/ScriptedDialogs.h"
#include "richprint/PrintSettings.h"

using namespace richprint;
using platform::core::UserStore;

namespace {

const QString kKey = QStringLiteral("RichPrint.Settings\\Marges");

TEST_F(PrintTest, WithoutStoredSettingsAJobResetsUnitAndOrientation)
{
    printer.SetOrientation(TPrinterOrientation::poLandscape);
    printer.SetMeasureUnit(TMeasureUnit::muInches);
    Print(QStringLiteral("x"));
    EXPECT_LT(PageSize(pdf).width, PageSize(pdf).height);
    EXPECT_EQ(printer.MeasureUnit(), TMeasureUnit::muMillimeters);
}

TEST_F(PrintTest, StoredSettingsDecideEveryJob)
{
    UserStore store;
    SavePrintSettings(store, StoredPrintSettings{1.5, 1.0, 1.0, 0.5, false, false, true});
    printer.SetMarginLeft(60);
    Print(QStringLiteral("x"));
    EXPECT_GT(PageSize(pdf).width, PageSize(pdf).height);
    EXPECT_EQ(printer.MeasureUnit(), TMeasureUnit::muInches);
    EXPECT_DOUBLE_EQ(printer.MarginLeft(), 1.5);
    EXPECT_TRUE(printer.PlainText());
    const auto words = ReadWords(pdf);
    EXPECT_NEAR(words.front().left, 1.5 * 25.4 + 0.254, 0.3);
}

TEST_F(PrintTest, ABadStoredMarginStopsTheJobWithTheTypeError)
{
    UserStore store;
    SavePrintSettings(store, StoredPrintSettings{25, 30, 25, 15, true, true, false});
    store.writeString(kKey, "MarginBottom", "25");
    edit.setText("x");
    try {
        printer.PrintRichEdit(edit, 1);
        FAIL() << "printed";
    } catch (const platform::core::ERegistryTypeError& e) {
        EXPECT_STREQ(e.what(), "Ungültiger Datentyp für 'MarginBottom'");
    }
    EXPECT_FALSE(QFile::exists(pdf));
}

struct SetupCase {
    const char* name;
    bool accept;
    std::function<void(platform::gui::PageSetupResult&)> edit;
    double storedLeft;
};

class PageSetup : public PrintTest, public testing::WithParamInterface<SetupCase> {};

TEST_P(PageSetup, WritesTheStoreWhetherConfirmedOrCancelled)
{
    platform::gui::ScriptedDialogs dialogs;
    platform::gui::ScopedDialogs scope(dialogs);
    dialogs.answerPageSetup(GetParam().accept, GetParam().edit);
    printer.SetMarginLeft(25.004); // the dialog works in hundredths of a millimetre
    EXPECT_EQ(printer.PageSetupDialog(), GetParam().accept);
    const auto& asked = dialogs.last().pageSetup;
    EXPECT_EQ(asked.marginLeft, 2500);
    EXPECT_EQ(asked.marginTop, 3000);
    EXPECT_FALSE(asked.thousandthsOfInches);
    EXPECT_FALSE(asked.disableMargins);
    UserStore store;
    const auto stored = LoadPrintSettings(store);
    ASSERT_TRUE(stored);
    EXPECT_DOUBLE_EQ(stored->marginLeft, GetParam().storedLeft);
    EXPECT_TRUE(stored->millimeters);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageSetup,
    testing::Values(SetupCase{"Cancelled", false, {}, 25.0},
                    SetupCase{"Confirmed", true,
                              [](platform::gui::PageSetupResult& r) { r.marginLeft = 3125; },
                              31.25}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
