#pragma once
// The element names the tree construction treats specially, each with a number, and what it
// knows of them. Other names are Tag::Other: such elements are told apart by their names.
#include <cstdint>
#include <string_view>

namespace html {

#define HTML_TAGS(X)                                                                                \
    X(A, "a") X(Address, "address") X(AnnotationXml, "annotation-xml") X(Applet, "applet") X(Area, "area") \
    X(Article, "article") X(Aside, "aside") X(B, "b") X(Base, "base") X(Basefont, "basefont")              \
    X(Bgsound, "bgsound") X(Big, "big") X(Blockquote, "blockquote") X(Body, "body") X(Br, "br")            \
    X(Button, "button") X(Caption, "caption") X(Center, "center") X(Code, "code") X(Col, "col")            \
    X(Colgroup, "colgroup") X(Dd, "dd") X(Desc, "desc") X(Details, "details") X(Dialog, "dialog")          \
    X(Dir, "dir") X(Div, "div") X(Dl, "dl") X(Dt, "dt") X(Em, "em") X(Embed, "embed")                      \
    X(Fieldset, "fieldset") X(Figcaption, "figcaption") X(Figure, "figure") X(Font, "font")                \
    X(Footer, "footer") X(ForeignObject, "foreignobject") X(Form, "form") X(Frame, "frame")                \
    X(Frameset, "frameset") X(H1, "h1") X(H2, "h2") X(H3, "h3") X(H4, "h4") X(H5, "h5") X(H6, "h6")        \
    X(Head, "head") X(Header, "header") X(Hgroup, "hgroup") X(Hr, "hr") X(Html, "html") X(I, "i")          \
    X(Iframe, "iframe") X(Image, "image") X(Img, "img") X(Input, "input") X(Isindex, "isindex") X(Keygen, "keygen") X(Label, "label") X(Li, "li")  \
    X(Link, "link") X(Listing, "listing") X(Main, "main") X(Malignmark, "malignmark")                      \
    X(Marquee, "marquee") X(Math, "math") X(Menu, "menu") X(Meta, "meta") X(Mglyph, "mglyph") X(Mi, "mi")  \
    X(Mn, "mn") X(Mo, "mo") X(Ms, "ms") X(Mtext, "mtext") X(Nav, "nav") X(Nobr, "nobr")                    \
    X(Noembed, "noembed") X(Noframes, "noframes") X(Noscript, "noscript") X(Object, "object") X(Ol, "ol")  \
    X(Optgroup, "optgroup") X(Option, "option") X(P, "p") X(Param, "param") X(Plaintext, "plaintext")      \
    X(Pre, "pre") X(Rb, "rb") X(Rp, "rp") X(Rt, "rt") X(Rtc, "rtc") X(Ruby, "ruby") X(S, "s")              \
    X(Script, "script") X(Search, "search") X(Section, "section") X(Select, "select") X(Small, "small")    \
    X(Source, "source") X(Span, "span") X(Strike, "strike") X(Strong, "strong") X(Style, "style")          \
    X(Sub, "sub") X(Summary, "summary") X(Sup, "sup") X(Svg, "svg") X(Table, "table") X(Tbody, "tbody")    \
    X(Td, "td") X(Template, "template") X(Textarea, "textarea") X(Tfoot, "tfoot") X(Th, "th")              \
    X(Thead, "thead") X(Title, "title") X(Tr, "tr") X(Track, "track") X(Tt, "tt") X(U, "u") X(Ul, "ul")    \
    X(Var, "var") X(Wbr, "wbr") X(Xmp, "xmp")

enum class Tag : std::uint8_t {
    Other,
#define HTML_TAG_ENUM(id, name) id,
    HTML_TAGS(HTML_TAG_ENUM)
#undef HTML_TAG_ENUM
};

// name: lower case, as the tokenizer gives it.
Tag TagOf(std::string_view name);

} // namespace html
