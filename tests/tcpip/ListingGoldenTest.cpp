// Golden listings: each tests/data/tcpip/listings/NAME.txt parses into NAME.expected.
#include "base/StringList.h"
#include "tcpip/ListingParser.h"

#include <gtest/gtest.h>

#include <QDir>

#include <fstream>
#include <sstream>

using namespace tcpip;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string describe(const t_filedata& e)
{
    return std::to_string(e.type) + "|" + std::to_string(e.size) + "|" + e.name + "|" + DateTime(e.date).toText();
}

} // namespace

TEST(ListingGolden, EveryFileGivesItsExpectedEntries)
{
    const QDir dir(QString(TEST_DATA_DIR) + "/tcpip/listings");
    const QStringList inputs = dir.entryList({ "*.txt" }, QDir::Files, QDir::Name);
    ASSERT_GE(inputs.size(), 3);
    for (const QString& input : inputs) {
        SCOPED_TRACE(input.toStdString());
        const std::string base = dir.filePath(input).chopped(4).toStdString();
        std::string got;
        for (const auto& line : base::SplitLines(readFile(base + ".txt"))) {
            t_filedata entry{ 9, 9, "unchanged", 0 };
            ParseListingLine(line, entry, CivilDate{ 2026, 12, 8 });
            got += (entry.name == "unchanged" ? std::string("-") : describe(entry)) + "\n";
        }
        EXPECT_EQ(got, readFile(base + ".expected"));
    }
}
