// The "in body" insertion mode: where almost all of a page's content is placed.
#include "html/TreeBuilder.h"

#include "html/TokenMatch.h"

#include <algorithm>

namespace html {

namespace {

// The blocks a start tag opens after closing a paragraph and an end tag closes in scope.
bool IsBlock(Tag tag)
{
    return IsAny(tag, {Tag::Address, Tag::Article, Tag::Aside,  Tag::Blockquote, Tag::Center, Tag::Details,
                       Tag::Dialog,  Tag::Dir,     Tag::Div,    Tag::Dl,         Tag::Fieldset, Tag::Figcaption,
                       Tag::Figure,  Tag::Footer,  Tag::Header, Tag::Hgroup,     Tag::Main,   Tag::Menu,
                       Tag::Nav,     Tag::Ol,      Tag::Search, Tag::Section,    Tag::Summary, Tag::Ul});
}

constexpr std::initializer_list<Tag> kHeadings = {Tag::H1, Tag::H2, Tag::H3, Tag::H4, Tag::H5, Tag::H6};


} // namespace

void TreeBuilder::inBody(Token& token)
{
    switch (token.type) {
    case TokenType::Characters: {
        const std::string_view chars = document_.text(token.text);
        if (IsNul(chars))
            return;
        reconstructFormatting();
        insertCharacters(token.text);
        if (framesetOk_ && HasNonWhitespace(chars))
            framesetOk_ = false;
        return;
    }
    case TokenType::Comment:
    case TokenType::Doctype:
        return;
    case TokenType::StartTag:
        return bodyStartTag(token);
    case TokenType::EndTag:
        return bodyEndTag(token);
    case TokenType::EndOfFile:
        if (!templateModes_.empty())
            return inTemplate(token);
        return;
    }
}

void TreeBuilder::bodyStartTag(Token& token)
{
    if (IsHeadContent(token.tag))
        return inHead(token);
    if (IsBlock(token.tag) || token.tag == Tag::P) {
        if (inScope(Tag::P, Scope::Button))
            closeP();
        insertElement(token);
        return;
    }
    switch (token.tag) {
    case Tag::Html:
        return error(ErrorCode::UnexpectedStartTag, nameOfToken(token));
    case Tag::Body:
        error(ErrorCode::UnexpectedStartTag, nameOfToken(token));
        if (stack_.size() > 1 && isHtml(stack_[1], Tag::Body) && openHtmlTags_[static_cast<std::size_t>(Tag::Template)] == 0)
            framesetOk_ = false;
        return;
    case Tag::Frameset:
        if (stack_.size() < 2 || !isHtml(stack_[1], Tag::Body) || !framesetOk_)
            return;
        document_.detach(stack_[1]);
        while (stack_.size() > 1)
            pop();
        insertElement(token);
        mode_ = Mode::InFrameset;
        return;
    case Tag::H1:
    case Tag::H2:
    case Tag::H3:
    case Tag::H4:
    case Tag::H5:
    case Tag::H6:
        if (inScope(Tag::P, Scope::Button))
            closeP();
        if (node(current()).ns == Namespace::Html && IsAny(node(current()).tag, kHeadings)) {
            error(ErrorCode::NestedStartTag, nameOfToken(token));
            pop();
        }
        insertElement(token);
        return;
    case Tag::Pre:
    case Tag::Listing:
        if (inScope(Tag::P, Scope::Button))
            closeP();
        insertElement(token);
        // html5lib drops the first line break only in this very mode (not in a table cell).
        skipNewline_ = mode_ == Mode::InBody;
        framesetOk_ = false;
        return;
    case Tag::Form: {
        const bool inTemplate = openHtmlTags_[static_cast<std::size_t>(Tag::Template)] != 0;
        if (form_ != kNoNode && !inTemplate)
            return error(ErrorCode::NestedStartTag, nameOfToken(token));
        if (inScope(Tag::P, Scope::Button))
            closeP();
        const NodeId form = insertElement(token);
        if (!inTemplate)
            form_ = form;
        return;
    }
    case Tag::Li:
    case Tag::Dd:
    case Tag::Dt: {
        framesetOk_ = false;
        bool closed = false;
        for (std::size_t i = stack_.size(); i-- > 0;) {
            const NodeId n = stack_[i];
            const bool matches = token.tag == Tag::Li ? isHtml(n, Tag::Li) : (isHtml(n, Tag::Dd) || isHtml(n, Tag::Dt));
            if (matches) {
                const Tag tag = node(n).tag;
                generateImpliedEndTags(tag);
                popUntil(tag);
                closed = true;
                break;
            }
            if (isSpecial(n) && !isHtml(n, Tag::Address) && !isHtml(n, Tag::Div) && !isHtml(n, Tag::P))
                break;
        }
        if (inScope(Tag::P, Scope::Button)) {
            closeP();
            closed = true;
        }
        endFosterParentingIf(closed);
        insertElement(token);
        return;
    }
    case Tag::Plaintext:
        if (inScope(Tag::P, Scope::Button))
            closeP();
        insertElement(token);
        tokenizer_.setTextKind(TextKind::Plaintext);
        return;
    case Tag::Button:
        if (inScope(Tag::Button)) {
            error(ErrorCode::NestedStartTag, nameOfToken(token));
            generateImpliedEndTags();
            popUntil(Tag::Button);
            // html5lib drops the button itself when it came misplaced in a table.
            if (fosterParenting_)
                return;
        }
        reconstructFormatting();
        insertElement(token);
        framesetOk_ = false;
        return;
    case Tag::A: {
        for (std::size_t i = formatting_.size(); i-- > 0 && formatting_[i] != kMarker;) {
            if (isHtml(formatting_[i], Tag::A)) {
                error(ErrorCode::NestedStartTag, nameOfToken(token));
                const NodeId a = formatting_[i];
                Token end;
                end.type = TokenType::EndTag;
                end.tag = Tag::A;
                end.text = token.text;
                if (!adoptionAgency(end))
                    anyOtherEndTag(end);
                const std::size_t left = formattingIndex(a);
                if (left != formatting_.size())
                    formattingErase(left);
                if (isOpen(a))
                    eraseFromStack(stackIndex(a));
                break;
            }
        }
        reconstructFormatting();
        pushFormatting(insertElement(token));
        return;
    }
    case Tag::B:
    case Tag::Big:
    case Tag::Code:
    case Tag::Em:
    case Tag::Font:
    case Tag::I:
    case Tag::S:
    case Tag::Small:
    case Tag::Strike:
    case Tag::Strong:
    case Tag::Tt:
    case Tag::U:
        reconstructFormatting();
        pushFormatting(insertElement(token));
        return;
    case Tag::Nobr:
        reconstructFormatting();
        if (inScope(Tag::Nobr)) {
            error(ErrorCode::NestedStartTag, nameOfToken(token));
            Token end = token;
            end.type = TokenType::EndTag;
            if (!adoptionAgency(end))
                anyOtherEndTag(end);
            reconstructFormatting();
        }
        pushFormatting(insertElement(token));
        return;
    case Tag::Applet:
    case Tag::Marquee:
    case Tag::Object:
        reconstructFormatting();
        insertElement(token);
        formatting_.push_back(kMarker);
        framesetOk_ = false;
        return;
    case Tag::Table:
        if (!quirks_ && inScope(Tag::P, Scope::Button))
            closeP();
        insertElement(token);
        framesetOk_ = false;
        mode_ = Mode::InTable;
        return;
    case Tag::Area:
    case Tag::Br:
    case Tag::Embed:
    case Tag::Img:
    case Tag::Keygen:
    case Tag::Wbr:
        reconstructFormatting();
        insertElement(token);
        pop();
        framesetOk_ = false;
        return;
    case Tag::Input:
        reconstructFormatting();
        insertElement(token);
        pop();
        if (!IsHiddenInput(document_, token))
            framesetOk_ = false;
        return;
    case Tag::Param:
    case Tag::Source:
    case Tag::Track:
        insertElement(token);
        pop();
        return;
    case Tag::Hr:
        if (inScope(Tag::P, Scope::Button))
            closeP();
        insertElement(token);
        pop();
        framesetOk_ = false;
        return;
    case Tag::Isindex:
        return isindex(token);
    case Tag::Image:
        token.tag = Tag::Img;
        token.text = nameOf(Tag::Img);
        return dispatch(token);
    case Tag::Textarea:
        // As html5lib does, the text stays in this insertion mode (formatting elements are
        // re-opened inside the text area) and its end tag closes it as any other.
        insertElement(token);
        skipNewline_ = mode_ == Mode::InBody;
        tokenizer_.setTextKind(TextKind::Rcdata);
        framesetOk_ = false;
        return;
    case Tag::Xmp:
        if (inScope(Tag::P, Scope::Button))
            closeP();
        reconstructFormatting();
        framesetOk_ = false;
        return genericText(token, TextKind::Rawtext);
    case Tag::Iframe:
        framesetOk_ = false;
        return genericText(token, TextKind::Rawtext);
    case Tag::Noembed:
        return genericText(token, TextKind::Rawtext);
    case Tag::Select:
        reconstructFormatting();
        insertElement(token);
        framesetOk_ = false;
        mode_ = (mode_ == Mode::InTable || mode_ == Mode::InCaption || mode_ == Mode::InTableBody || mode_ == Mode::InRow
               || mode_ == Mode::InCell)
            ? Mode::InSelectInTable
            : Mode::InSelect;
        return;
    case Tag::Optgroup:
    case Tag::Option:
        if (currentIs(Tag::Option)) {
            pop();
            endFosterParentingIf(true);
        }
        reconstructFormatting();
        insertElement(token);
        return;
    case Tag::Rb:
    case Tag::Rtc:
        if (inScope(Tag::Ruby))
            generateImpliedEndTags();
        insertElement(token);
        return;
    case Tag::Rp:
    case Tag::Rt:
        if (inScope(Tag::Ruby))
            generateImpliedEndTags(Tag::Rtc);
        insertElement(token);
        return;
    case Tag::Math:
    case Tag::Svg:
        reconstructFormatting();
        insertElement(token, token.tag == Tag::Math ? Namespace::MathMl : Namespace::Svg);
        if (token.selfClosing)
            pop();
        return;
    case Tag::Caption:
    case Tag::Col:
    case Tag::Colgroup:
    case Tag::Frame:
    case Tag::Head:
    case Tag::Tbody:
    case Tag::Td:
    case Tag::Tfoot:
    case Tag::Th:
    case Tag::Thead:
    case Tag::Tr:
        return error(ErrorCode::UnexpectedStartTag, nameOfToken(token));
    default:
        reconstructFormatting();
        insertElement(token);
        return;
    }
}

// html5lib closes what a list item or option closes by the rules of the current insertion
// mode; when that is a table's, this ends the foster parenting of the start tag too early, and
// the new element goes into the table itself. Followed for the same links.
void TreeBuilder::endFosterParentingIf(bool closedSomething)
{
    if (closedSomething)
        fosterParenting_ = false;
}

void TreeBuilder::bodyEndTag(Token& token)
{
    if (IsBlock(token.tag) || IsAny(token.tag, {Tag::Button, Tag::Listing, Tag::Pre})) {
        if (!inScope(token.tag))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
        generateImpliedEndTags();
        closesOpenElements(token);
        popUntil(token.tag);
        return;
    }
    switch (token.tag) {
    case Tag::Template:
        return inHead(token);
    case Tag::Body:
        if (!inScope(Tag::Body))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
        unclosedAtEnd();
        mode_ = Mode::AfterBody;
        return;
    case Tag::Html:
        if (!inScope(Tag::Body))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
        unclosedAtEnd();
        mode_ = Mode::AfterBody;
        dispatch(token);
        return;
    case Tag::Form:
        if (openHtmlTags_[static_cast<std::size_t>(Tag::Template)] == 0) {
            const NodeId form = form_;
            form_ = kNoNode;
            if (form == kNoNode || !inScopeNode(form))
                return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
            generateImpliedEndTags();
            if (current() != form)
                error(ErrorCode::EndTagClosesOpenElements, nameOfToken(token));
            eraseFromStack(stackIndex(form));
            return;
        }
        if (!inScope(Tag::Form))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
        generateImpliedEndTags();
        popUntil(Tag::Form);
        return;
    case Tag::P:
        if (!inScope(Tag::P, Scope::Button)) {
            error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
            insertElement(Tag::P);
        }
        generateImpliedEndTags(Tag::P);
        closesOpenElements(token);
        popUntil(Tag::P);
        return;
    case Tag::Li:
        if (!inScope(Tag::Li, Scope::ListItem))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
        generateImpliedEndTags(Tag::Li);
        closesOpenElements(token);
        popUntil(Tag::Li);
        return;
    case Tag::Dd:
    case Tag::Dt:
        if (!inScope(token.tag))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
        generateImpliedEndTags(token.tag);
        closesOpenElements(token);
        popUntil(token.tag);
        return;
    case Tag::H1:
    case Tag::H2:
    case Tag::H3:
    case Tag::H4:
    case Tag::H5:
    case Tag::H6:
        if (std::none_of(kHeadings.begin(), kHeadings.end(), [&](Tag h) { return inScope(h); }))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
        generateImpliedEndTags();
        closesOpenElements(token);
        popUntilAny(kHeadings);
        return;
    case Tag::A:
    case Tag::B:
    case Tag::Big:
    case Tag::Code:
    case Tag::Em:
    case Tag::Font:
    case Tag::I:
    case Tag::Nobr:
    case Tag::S:
    case Tag::Small:
    case Tag::Strike:
    case Tag::Strong:
    case Tag::Tt:
    case Tag::U:
        if (!adoptionAgency(token))
            anyOtherEndTag(token);
        return;
    case Tag::Applet:
    case Tag::Marquee:
    case Tag::Object:
        if (!inScope(token.tag))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
        generateImpliedEndTags();
        closesOpenElements(token);
        popUntil(token.tag);
        clearFormattingToMarker();
        return;
    case Tag::Br:
        // A <br> without attributes; unlike the start tag, html5lib leaves frameset-ok as it is.
        error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
        reconstructFormatting();
        insertElement(Tag::Br);
        pop();
        return;
    default:
        return anyOtherEndTag(token);
    }
}

// The old search field, kept by html5lib: a form with a label that says what to search and an
// input, between rules, made of the tokens a page would have to write for it.
void TreeBuilder::isindex(const Token& token)
{
    if (form_ != kNoNode && openHtmlTags_[static_cast<std::size_t>(Tag::Template)] == 0)
        return;
    const auto made = [&](TokenType type, Tag tag) {
        Token made;
        made.type = type;
        made.tag = tag;
        made.text = nameOf(tag);
        return made;
    };
    Span prompt = document_.keep("This is a searchable index. Enter search keywords: ");
    for (const Attribute& a : token.attributes)
        if (document_.text(a.name) == "prompt")
            prompt = a.value;
    Token form = made(TokenType::StartTag, Tag::Form);
    Token hr = made(TokenType::StartTag, Tag::Hr);
    Token label = made(TokenType::StartTag, Tag::Label);
    Token input = made(TokenType::StartTag, Tag::Input);
    Token labelEnd = made(TokenType::EndTag, Tag::Label);
    Token formEnd = made(TokenType::EndTag, Tag::Form);
    Token text;
    text.type = TokenType::Characters;
    text.text = prompt;
    bodyStartTag(form);
    bodyStartTag(hr);
    bodyStartTag(label);
    if (prompt.length != 0)
        inBody(text);
    bodyStartTag(input);
    bodyEndTag(labelEnd);
    bodyStartTag(hr);
    bodyEndTag(formEnd);
}

void TreeBuilder::anyOtherEndTag(const Token& token)
{
    // Nothing of that name open above the topmost special element: the walk would end there.
    if (!nameAboveTopmostSpecial(token))
        return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
    for (std::size_t i = stack_.size(); i-- > 0;) {
        const NodeId n = stack_[i];
        if (node(n).ns == Namespace::Html && sameName(n, token)) {
            generateImpliedEndTags(token.tag == Tag::Other ? Tag::Other : token.tag);
            if (current() != n)
                error(ErrorCode::EndTagClosesOpenElements, nameOfToken(token));
            popUntilNode(n);
            return;
        }
        if (isSpecial(n))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
    }
}

void TreeBuilder::closesOpenElements(const Token& endTag)
{
    if (!currentIs(endTag.tag) || !sameName(current(), endTag))
        error(ErrorCode::EndTagClosesOpenElements, nameOfToken(endTag));
}

} // namespace html
