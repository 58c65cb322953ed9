// Relative addresses made absolute: the examples of RFC 3986, section 5.4, and the cleaning a
// URL parser does first.
#include "tarnby/UrlReference.h"

#include <gtest/gtest.h>

namespace {

struct Resolution {
    const char* reference;
    const char* expected;
};

class ResolvesAgainstTheRfcBase : public ::testing::TestWithParam<Resolution> {};

TEST_P(ResolvesAgainstTheRfcBase, AsTheRfcSays)
{
    EXPECT_EQ(tarnby::ResolveReference("http://a/b/c/d;p?q", GetParam().reference), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, ResolvesAgainstTheRfcBase, ::testing::Values(
    Resolution{"g:h", "g:h"}, Resolution{"g", "http://a/b/c/g"}, Resolution{"./g", "http://a/b/c/g"},
    Resolution{"g/", "http://a/b/c/g/"}, Resolution{"/g", "http://a/g"}, Resolution{"//g", "http://g"},
    Resolution{"?y", "http://a/b/c/d;p?y"}, Resolution{"g?y", "http://a/b/c/g?y"},
    Resolution{"#s", "http://a/b/c/d;p?q#s"}, Resolution{"g#s", "http://a/b/c/g#s"},
    Resolution{";x", "http://a/b/c/;x"}, Resolution{"", "http://a/b/c/d;p?q"},
    Resolution{".", "http://a/b/c/"}, Resolution{"./", "http://a/b/c/"}, Resolution{"..", "http://a/b/"},
    Resolution{"../g", "http://a/b/g"}, Resolution{"../..", "http://a/"}, Resolution{"../../g", "http://a/g"},
    Resolution{"../../../g", "http://a/g"}, Resolution{"/./g", "http://a/g"}, Resolution{"/../g", "http://a/g"},
    Resolution{"g.", "http://a/b/c/g."}, Resolution{"..g", "http://a/b/c/..g"},
    Resolution{"./../g", "http://a/b/g"}, Resolution{"g/./h", "http://a/b/c/g/h"},
    Resolution{"g/../h", "http://a/b/c/h"}, Resolution{"g;x=1/../y", "http://a/b/c/y"},
    Resolution{"g?y/./x", "http://a/b/c/g?y/./x"}, Resolution{"g#s/../x", "http://a/b/c/g#s/../x"},
    // Case and encoding as written.
    Resolution{"Caf%C3%A9/X.HTML", "http://a/b/c/Caf%C3%A9/X.HTML"}));

TEST(UrlReference, AHostWithoutPathTakesARootedPath)
{
    EXPECT_EQ(tarnby::ResolveReference("http://example.org", "page.html"), "http://example.org/page.html");
}

TEST(UrlReference, ABaseWithoutSchemeLeavesTheReferenceAsWritten)
{
    EXPECT_EQ(tarnby::ResolveReference("docs/index.html", "page.html"), "page.html");
}

TEST(UrlReference, CleaningDropsOuterControlsAndInnerLineBreaks)
{
    EXPECT_EQ(tarnby::CleanUrlText("\x01 \n a b\tc\r\nd.html \x1f"), "a bcd.html");
}

} // namespace
