#include "TempConfig.h"
#include "platform/core/UserStore.h"

#include <gtest/gtest.h>

using platform::core::ERegistryTypeError;
using platform::core::UserStore;

namespace {

const QString kKey = QStringLiteral("RichPrint.Settings\\Marges");

TEST(UserStore, ValuesReadBackWithTheirTypeFromAFreshStore)
{
    TempConfig config;
    const std::string binary("\x00\x01\xff\x7f\x00\x00\x39\x40", 8);
    UserStore(QStringLiteral("UserStore.json")).writeBinary(kKey, "MarginLeft", binary);
    UserStore().writeString(kKey, "CodeMeasurement", "1");

    const UserStore store;
    EXPECT_EQ(store.readBinary(kKey, "MarginLeft"), binary);
    EXPECT_EQ(store.readString(kKey, "CodeMeasurement"), "1");
    // Names fold case like the registry's.
    EXPECT_EQ(store.readString("richprint.settings\\MARGES", "codemeasurement"), "1");
    EXPECT_TRUE(store.keyExists("RichPrint.Settings"));
    EXPECT_FALSE(store.keyExists("RichPrint"));
    EXPECT_TRUE(QFile::exists(config.file("UserStore.json")));
}

struct TypeCase {
    const char* name;
    bool storedAsBinary;
    bool readAsBinary;
    bool throws;
    bool notUtf8 = false; // the string's bytes
};

class UserStoreTypes : public testing::TestWithParam<TypeCase> {};

TEST_P(UserStoreTypes, AValueReadAsTheOtherTypeFailsWithTheRegistryMessage)
{
    TempConfig config;
    UserStore store;
    const TypeCase& c = GetParam();
    if (c.storedAsBinary)
        store.writeBinary(kKey, "MarginTop", "12345678");
    else
        store.writeString(kKey, "MarginTop", c.notUtf8 ? "3\xE4" "0" : "30");
    auto read = [&] {
        return c.readAsBinary ? store.readBinary(kKey, "MarginTop")
                              : store.readString(kKey, "MarginTop");
    };
    if (!c.throws) {
        EXPECT_TRUE(read().has_value());
        return;
    }
    try {
        read();
        FAIL() << "no type error";
    } catch (const ERegistryTypeError& e) {
        EXPECT_STREQ(e.what(), "Ungültiger Datentyp für 'MarginTop'");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, UserStoreTypes,
                         testing::Values(TypeCase{"StringAsBinary", false, true, true},
                                         TypeCase{"BinaryAsString", true, false, true},
                                         TypeCase{"BinaryAsBinary", true, true, false},
                                         TypeCase{"NotUtf8StringAsBinary", false, true, true, true},
                                         TypeCase{"NotUtf8StringAsString", false, false, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Strings read back byte for byte, whether or not their bytes are UTF-8.
class UserStoreStrings : public testing::TestWithParam<std::string> {};

TEST_P(UserStoreStrings, ReadBackExactly)
{
    TempConfig config;
    UserStore().writeString(kKey, "Name", GetParam());
    EXPECT_EQ(UserStore().readString(kKey, "Name"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cases, UserStoreStrings,
                         testing::Values(std::string("plain"), std::string(""),
                                         std::string("Gr\xC3\xBC\xC3\x9F" "e"),        // UTF-8
                                         std::string("Gr\xFC\xDF" "e"),                 // Windows-1252
                                         std::string("\xC3"),                           // cut short
                                         std::string("\xED\xA0\x80"),                   // a surrogate
                                         std::string("\xC0\xAF"),                       // overlong
                                         std::string("a\0b\x01\r\n\x7F", 7),          // controls
                                         std::string(100000, '\xFF')),                 // long
                         [](const auto& info) { return std::to_string(info.index); });

TEST(UserStore, MissingValuesKeysAndFilesReadAsAbsent)
{
    TempConfig config;
    UserStore store;
    EXPECT_FALSE(store.keyExists(kKey));
    EXPECT_EQ(store.readString(kKey, "CodeDirection"), std::nullopt);
    store.createKey("RichPrint.Settings");
    EXPECT_TRUE(store.keyExists("RichPrint.Settings"));
    EXPECT_FALSE(store.keyExists(kKey));
    EXPECT_EQ(store.readBinary("RichPrint.Settings", "MarginLeft"), std::nullopt);
}

TEST(UserStore, AFileThatIsNoStoreIsReadAsEmptyAndNeverOverwritten)
{
    TempConfig config;
    config.write("UserStore.json", "not json at all");
    UserStore store;
    EXPECT_FALSE(store.keyExists(kKey));
    EXPECT_THROW(store.writeString(kKey, "CodePlainText", "0"), base::EFileError);
    EXPECT_EQ(config.read("UserStore.json"), "not json at all");
}

TEST(UserStore, DeletingAKeyRemovesItsSubKeysAndNothingElse)
{
    TempConfig config;
    UserStore store;
    store.writeString(kKey, "CodeDirection", "1");
    store.writeString("Other", "Name", "kept");
    store.deleteKey("RichPrint.Settings");
    EXPECT_FALSE(store.keyExists(kKey));
    EXPECT_EQ(store.readString("Other", "Name"), "kept");
}

} // namespace
