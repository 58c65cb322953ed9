#include "quellin/HtmlMenuTree.h"

namespace quellin {

namespace {

using Kind = HtmlMenuItem::Kind;

HtmlMenuItem item(const char* caption) { return {Kind::Snippet, QString::fromUtf8(caption), {}}; }
HtmlMenuItem inert(const char* caption) { return {Kind::Inert, QString::fromUtf8(caption), {}}; }
HtmlMenuItem separator() { return {Kind::Separator, {}, {}}; }
HtmlMenuItem submenu(const char* caption, std::vector<HtmlMenuItem> children)
{
    return {Kind::Submenu, QString::fromUtf8(caption), std::move(children)};
}

std::vector<HtmlMenuItem> items(std::initializer_list<const char*> captions)
{
    std::vector<HtmlMenuItem> result;
    for (const char* caption : captions)
        result.push_back(item(caption));
    return result;
}

std::vector<HtmlMenuItem> buildTree()
{
    return {
        submenu("Header",
                {item("Head"), separator(), item("Base"), inert("Basefont"), item("IsIndex"),
                 item("Link"),
                 submenu("Meta", items({"Author", "Content", "Description", "HTTP-Equiv",
                                        "Keyword", "Robot"})),
                 item("Script"), item("Style"), item("Title")}),
        submenu("Body",
                {item("Body"), separator(),
                 submenu("Char",
                         {submenu("Common",
                                  items({"Ampersand &&", "Copyright (c)", "Greater than >",
                                         "Less than <", "Nonbreaking space", "Quotation mark \"",
                                         "Registered trademark (R)", "Trademark TM"})),
                          submenu("Umlaute",
                                  {item("Umlaut ä"), inert("Umlaut Ä"), item("Umlaut ö"),
                                   inert("Umlaut Ö"), item("Umlaut ü"), inert("Umlaut Ü"),
                                   item("Umlaut ß")})}),
                 submenu("Element",
                         items({"Address", "Anchor", "Horizontal Rule", "Hyperlink", "Image",
                                "Image map", "MailTo", "Table", "Table (Complex)"})),
                 submenu("Format", items({"Break <BR>", "Center", "Heading <H#>",
                                          "Paragraph <P>", "Preformatted <PRE>"})),
                 submenu("Logical",
                         items({"Abbreviation", "Citation", "Code (Source)", "Definition",
                                "Emphasis", "Keystrokes", "Sample", "Strong emphasis",
                                "Variable"})),
                 submenu("Style", items({"Definition list", "Ordered def-list", "Ordered list",
                                         "Unordered list"})),
                 submenu("Text",
                         {item("Font"), separator(), item("Big"), item("Small"), separator(),
                          item("Bold"), item("Italic"), item("Strike"), item("Typewriter"),
                          item("Underline"), separator(), item("Sub"), item("Sup")})}),
        submenu("Other",
                {submenu("Template",
                         items({"HTML Basic", "HTML Frame", "HTML Form", "HTML Script"})),
                 item("Remark")}),
        submenu("Script", {submenu("PHP", {inert("")}), submenu("JavaScript", {inert("")}),
                           submenu("VBScript", {inert("")})}),
    };
}

} // namespace

const std::vector<HtmlMenuItem>& HtmlMenuTree()
{
    static const std::vector<HtmlMenuItem> tree = buildTree();
    return tree;
}

} // namespace quellin
