// The insertion modes before the body, for the text of scripts and titles, and after the body.
#include "html/TreeBuilder.h"

#include "html/EncodingSniffing.h"
#include "html/TokenMatch.h"

#include <algorithm>

namespace html {

void TreeBuilder::initial(Token& token)
{
    if (token.type == TokenType::Characters) {
        whitespacePrefix(token.text);
        if (token.text.length == 0)
            return;
    } else if (token.type == TokenType::Comment) {
        return;
    } else if (token.type == TokenType::Doctype) {
        quirks_ = quirksDoctype(token);
        mode_ = Mode::BeforeHtml;
        return;
    }
    quirks_ = true;
    if (!doctypeMissingReported_) {
        doctypeMissingReported_ = true;
        error(ErrorCode::MissingDoctype);
    }
    mode_ = Mode::BeforeHtml;
    dispatch(token);
}

void TreeBuilder::beforeHtml(Token& token)
{
    if (IsCommentOrDoctype(token))
        return;
    if (token.type == TokenType::Characters) {
        whitespacePrefix(token.text);
        if (token.text.length == 0)
            return;
    }
    if (IsStart(token, {Tag::Html})) {
        const NodeId html = createElement(token, Namespace::Html);
        insertAt(html, {Document::root(), kNoNode});
        push(html);
        mode_ = Mode::BeforeHead;
        return;
    }
    if (token.type == TokenType::EndTag && !IsAny(token.tag, {Tag::Head, Tag::Body, Tag::Html, Tag::Br}))
        return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
    const NodeId html = createElement(Tag::Html);
    insertAt(html, {Document::root(), kNoNode});
    push(html);
    mode_ = Mode::BeforeHead;
    dispatch(token);
}

void TreeBuilder::beforeHead(Token& token)
{
    if (IsCommentOrDoctype(token))
        return;
    if (token.type == TokenType::Characters) {
        whitespacePrefix(token.text);
        if (token.text.length == 0)
            return;
    }
    if (IsStart(token, {Tag::Html}))
        return inBody(token);
    if (IsStart(token, {Tag::Head})) {
        head_ = insertElement(token);
        mode_ = Mode::InHead;
        return;
    }
    if (token.type == TokenType::EndTag && !IsAny(token.tag, {Tag::Head, Tag::Body, Tag::Html, Tag::Br}))
        return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
    head_ = insertElement(Tag::Head);
    mode_ = Mode::InHead;
    dispatch(token);
}

void TreeBuilder::inHead(Token& token)
{
    if (token.type == TokenType::Characters) {
        if (insertLeadingWhitespace(token))
            return;
    } else if (IsCommentOrDoctype(token)) {
        return;
    } else if (token.type == TokenType::StartTag) {
        switch (token.tag) {
        case Tag::Html: return inBody(token);
        case Tag::Base:
        case Tag::Basefont:
        case Tag::Bgsound:
        case Tag::Link:
        case Tag::Meta: {
            const NodeId element = insertElement(token);
            pop();
            if (token.tag == Tag::Meta)
                noteDeclaredEncoding(element);
            return;
        }
        case Tag::Title: return genericText(token, TextKind::Rcdata);
        case Tag::Noframes:
        case Tag::Style: return genericText(token, TextKind::Rawtext);
        case Tag::Noscript:
            insertElement(token);
            mode_ = Mode::InHeadNoscript;
            return;
        case Tag::Script: return genericText(token, TextKind::ScriptData);
        case Tag::Template:
            insertElement(token);
            formatting_.push_back(kMarker);
            framesetOk_ = false;
            mode_ = Mode::InTemplate;
            templateModes_.push_back(Mode::InTemplate);
            return;
        case Tag::Head: return error(ErrorCode::UnexpectedStartTag, nameOfToken(token));
        default: break;
        }
    } else if (token.type == TokenType::EndTag) {
        if (token.tag == Tag::Head) {
            pop();
            mode_ = Mode::AfterHead;
            return;
        }
        if (token.tag == Tag::Template) {
            if (openHtmlTags_[static_cast<std::size_t>(Tag::Template)] == 0)
                return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
            generateImpliedEndTags(Tag::Other, true);
            popUntil(Tag::Template);
            clearFormattingToMarker();
            templateModes_.pop_back();
            resetInsertionMode();
            return;
        }
        if (!IsAny(token.tag, {Tag::Body, Tag::Html, Tag::Br}))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
    }
    pop();
    mode_ = Mode::AfterHead;
    dispatch(token);
}

void TreeBuilder::inHeadNoscript(Token& token)
{
    if (token.type == TokenType::Doctype)
        return;
    if (IsStart(token, {Tag::Html}))
        return inBody(token);
    if (IsEnd(token, {Tag::Noscript})) {
        pop();
        mode_ = Mode::InHead;
        return;
    }
    if (token.type == TokenType::Characters) {
        if (insertLeadingWhitespace(token))
            return;
    } else if (token.type == TokenType::Comment
               || IsStart(token, {Tag::Basefont, Tag::Bgsound, Tag::Link, Tag::Meta, Tag::Noframes, Tag::Style})) {
        return inHead(token);
    } else if (IsStart(token, {Tag::Head, Tag::Noscript})
               || (token.type == TokenType::EndTag && token.tag != Tag::Br)) {
        return;
    }
    pop();
    mode_ = Mode::InHead;
    dispatch(token);
}

void TreeBuilder::afterHead(Token& token)
{
    if (token.type == TokenType::Characters) {
        if (insertLeadingWhitespace(token))
            return;
    } else if (IsCommentOrDoctype(token)) {
        return;
    } else if (token.type == TokenType::StartTag) {
        switch (token.tag) {
        case Tag::Html: return inBody(token);
        case Tag::Body:
            insertElement(token);
            framesetOk_ = false;
            mode_ = Mode::InBody;
            return;
        case Tag::Frameset:
            insertElement(token);
            mode_ = Mode::InFrameset;
            return;
        case Tag::Head: return error(ErrorCode::UnexpectedStartTag, nameOfToken(token));
        default:
            if (!IsHeadContent(token.tag))
                break;
            push(head_);
            inHead(token);
            if (isOpen(head_))
                eraseFromStack(stackIndex(head_));
            return;
        }
    } else if (token.type == TokenType::EndTag) {
        if (token.tag == Tag::Template)
            return inHead(token);
        if (!IsAny(token.tag, {Tag::Body, Tag::Html, Tag::Br}))
            return error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
    }
    insertElement(Tag::Body);
    mode_ = Mode::InBody;
    dispatch(token);
}

void TreeBuilder::text(Token& token)
{
    if (token.type == TokenType::Characters)
        return insertCharacters(token.text);
    if (token.type == TokenType::EndOfFile) {
        pop();
        mode_ = originalMode_;
        return dispatch(token);
    }
    if (token.type == TokenType::EndTag) {
        pop();
        mode_ = originalMode_;
    }
}

void TreeBuilder::afterBody(Token& token)
{
    if (token.type == TokenType::Characters) {
        if (leadingWhitespaceInBody(token))
            return;
    }
    if (IsCommentOrDoctype(token) || token.type == TokenType::EndOfFile)
        return;
    if (IsStart(token, {Tag::Html}))
        return inBody(token);
    if (IsEnd(token, {Tag::Html})) {
        mode_ = Mode::AfterAfterBody;
        return;
    }
    error(ErrorCode::ContentAfterBody);
    mode_ = Mode::InBody;
    dispatch(token);
}

void TreeBuilder::afterAfterBody(Token& token)
{
    if (token.type == TokenType::Characters) {
        if (leadingWhitespaceInBody(token))
            return;
    }
    if (IsCommentOrDoctype(token) || token.type == TokenType::EndOfFile)
        return;
    if (IsStart(token, {Tag::Html}))
        return inBody(token);
    error(ErrorCode::ContentAfterBody);
    mode_ = Mode::InBody;
    dispatch(token);
}

void TreeBuilder::insertWhitespaceOnly(Span text)
{
    while (text.length != 0) {
        const Span white = whitespacePrefix(text);
        if (white.length != 0)
            insertCharacters(white);
        const std::string_view rest = document_.text(text);
        std::size_t skip = 0;
        while (skip < rest.size() && std::string_view(" \t\n\f\r").find(rest[skip]) == std::string_view::npos)
            ++skip;
        text.begin = static_cast<std::uint32_t>(text.begin + skip);
        text.length = static_cast<std::uint32_t>(text.length - skip);
    }
}

void TreeBuilder::inFrameset(Token& token)
{
    if (token.type == TokenType::Characters)
        return insertWhitespaceOnly(token.text);
    if (IsStart(token, {Tag::Html}))
        return inBody(token);
    if (IsStart(token, {Tag::Frameset})) {
        insertElement(token);
        return;
    }
    if (IsEnd(token, {Tag::Frameset})) {
        if (stack_.size() == 1)
            return;
        pop();
        if (!currentIs(Tag::Frameset))
            mode_ = Mode::AfterFrameset;
        return;
    }
    if (IsStart(token, {Tag::Frame})) {
        insertElement(token);
        pop();
        return;
    }
    if (IsStart(token, {Tag::Noframes}))
        return inHead(token);
}

void TreeBuilder::afterFrameset(Token& token)
{
    if (token.type == TokenType::Characters)
        return insertWhitespaceOnly(token.text);
    if (IsStart(token, {Tag::Html}))
        return inBody(token);
    if (IsEnd(token, {Tag::Html})) {
        mode_ = Mode::AfterAfterFrameset;
        return;
    }
    if (IsStart(token, {Tag::Noframes}))
        return inHead(token);
}

void TreeBuilder::afterAfterFrameset(Token& token)
{
    if (token.type == TokenType::Characters) {
        leadingWhitespaceInBody(token);
        return;
    }
    if (IsStart(token, {Tag::Html}))
        return inBody(token);
    if (IsStart(token, {Tag::Noframes}))
        return inHead(token);
}

} // namespace html

namespace html {

void TreeBuilder::noteDeclaredEncoding(NodeId meta)
{
    if (document_.declaredEncoding())
        return;
    std::optional<Encoding> declared;
    if (const auto charset = document_.attribute(meta, "charset"))
        declared = EncodingForLabel(*charset);
    if (!declared) {
        const auto httpEquiv = document_.attribute(meta, "http-equiv");
        const auto content = document_.attribute(meta, "content");
        if (httpEquiv && content && httpEquiv->size() == 12) {
            std::string lower(*httpEquiv);
            for (char& c : lower)
                c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            if (lower == "content-type")
                declared = EncodingFromContentType(*content);
        }
    }
    if (declared)
        document_.setDeclaredEncoding(*declared);
}

} // namespace html
