// The insertion modes of tables: content misplaced in a table (text, links) is moved before it.
#include "html/TreeBuilder.h"

#include "html/TokenMatch.h"

#include <algorithm>
#include <string>

namespace html {

void TreeBuilder::clearStackBackTo(std::initializer_list<Tag> tags)
{
    while (!stack_.empty()) {
        const Node& n = node(current());
        if (n.ns == Namespace::Html && (IsAny(n.tag, tags) || n.tag == Tag::Html || n.tag == Tag::Template))
            return;
        pop();
    }
}

void TreeBuilder::fosterInBody(Token& token)
{
    if (token.type == TokenType::Characters)
        errorAt(token.text.decoded ? tokenOffset_ : token.text.begin, ErrorCode::ContentInTable);
    else if (token.type == TokenType::StartTag)
        error(ErrorCode::ContentInTable, nameOfToken(token));
    fosterParenting_ = true;
    inBody(token);
    fosterParenting_ = false;
}

void TreeBuilder::inTable(Token& token)
{
    switch (token.type) {
    case TokenType::Characters:
        if (node(current()).ns == Namespace::Html
            && IsAny(node(current()).tag, {Tag::Table, Tag::Tbody, Tag::Template, Tag::Tfoot, Tag::Thead, Tag::Tr})) {
            pendingTableText_.clear();
            originalMode_ = mode_;
            mode_ = Mode::InTableText;
            return inTableText(token);
        }
        return fosterInBody(token);
    case TokenType::Comment:
    case TokenType::Doctype:
        return;
    case TokenType::EndOfFile:
        return inBody(token);
    case TokenType::StartTag:
        switch (token.tag) {
        case Tag::Caption:
            clearStackBackTo({Tag::Table});
            formatting_.push_back(kMarker);
            insertElement(token);
            mode_ = Mode::InCaption;
            return;
        case Tag::Colgroup:
            clearStackBackTo({Tag::Table});
            insertElement(token);
            mode_ = Mode::InColumnGroup;
            return;
        case Tag::Col:
            clearStackBackTo({Tag::Table});
            insertElement(Tag::Colgroup);
            mode_ = Mode::InColumnGroup;
            return dispatch(token);
        case Tag::Tbody:
        case Tag::Tfoot:
        case Tag::Thead:
            clearStackBackTo({Tag::Table});
            insertElement(token);
            mode_ = Mode::InTableBody;
            return;
        case Tag::Td:
        case Tag::Th:
        case Tag::Tr:
            clearStackBackTo({Tag::Table});
            insertElement(Tag::Tbody);
            mode_ = Mode::InTableBody;
            return dispatch(token);
        case Tag::Table:
            error(ErrorCode::NestedStartTag, nameOfToken(token));
            if (!inScope(Tag::Table, Scope::Table))
                return;
            popUntil(Tag::Table);
            resetInsertionMode();
            return dispatch(token);
        case Tag::Style:
        case Tag::Script:
        case Tag::Template:
            return inHead(token);
        case Tag::Input:
            if (!IsHiddenInput(document_, token))
                break;
            insertElement(token);
            pop();
            return;
        case Tag::Form:
            error(ErrorCode::ContentInTable, nameOfToken(token));
            if (openHtmlTags_[static_cast<std::size_t>(Tag::Template)] != 0 || form_ != kNoNode)
                return;
            form_ = insertElement(token);
            pop();
            return;
        default:
            break;
        }
        break;
    case TokenType::EndTag:
        switch (token.tag) {
        case Tag::Table:
            if (!inScope(Tag::Table, Scope::Table))
                return ignored(token);
            popUntil(Tag::Table);
            resetInsertionMode();
            return;
        case Tag::Body:
        case Tag::Caption:
        case Tag::Col:
        case Tag::Colgroup:
        case Tag::Html:
        case Tag::Tbody:
        case Tag::Td:
        case Tag::Tfoot:
        case Tag::Th:
        case Tag::Thead:
        case Tag::Tr:
            return ignored(token);
        case Tag::Template:
            return inHead(token);
        default:
            break;
        }
        break;
    }
    fosterInBody(token);
}

void TreeBuilder::inTableText(Token& token)
{
    if (token.type == TokenType::Characters) {
        if (!IsNul(document_.text(token.text)))
            pendingTableText_.push_back(token.text);
        return;
    }
    const bool allWhite = std::all_of(pendingTableText_.begin(), pendingTableText_.end(), [&](Span text) {
        return document_.text(text).find_first_not_of(" \t\n\f\r") == std::string_view::npos;
    });
    Token pending;
    pending.type = TokenType::Characters;
    for (const Span text : pendingTableText_) {
        if (allWhite) {
            insertCharacters(text);
        } else {
            pending.text = text;
            fosterInBody(pending);
        }
    }
    pendingTableText_.clear();
    mode_ = originalMode_;
    dispatch(token);
}

void TreeBuilder::inCaption(Token& token)
{
    const bool endsCaption = IsStart(token, {Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Tbody, Tag::Td, Tag::Tfoot,
                                             Tag::Th, Tag::Thead, Tag::Tr})
        || IsEnd(token, {Tag::Table});
    if (IsEnd(token, {Tag::Caption}) || endsCaption) {
        if (!inScope(Tag::Caption, Scope::Table))
            return ignored(token);
        generateImpliedEndTags();
        popUntil(Tag::Caption);
        clearFormattingToMarker();
        mode_ = Mode::InTable;
        if (endsCaption)
            dispatch(token);
        return;
    }
    if (IsEnd(token, {Tag::Body, Tag::Col, Tag::Colgroup, Tag::Html, Tag::Tbody, Tag::Td, Tag::Tfoot, Tag::Th, Tag::Thead,
                      Tag::Tr}))
        return ignored(token);
    inBody(token);
}

void TreeBuilder::inColumnGroup(Token& token)
{
    if (token.type == TokenType::Characters) {
        if (insertLeadingWhitespace(token))
            return;
    } else if (token.type == TokenType::Comment || token.type == TokenType::Doctype) {
        return;
    } else if (IsStart(token, {Tag::Html})) {
        return inBody(token);
    } else if (IsStart(token, {Tag::Col})) {
        insertElement(token);
        pop();
        return;
    } else if (IsEnd(token, {Tag::Colgroup})) {
        if (currentIs(Tag::Colgroup)) {
            pop();
            mode_ = Mode::InTable;
        }
        return;
    } else if (IsEnd(token, {Tag::Col})) {
        return;
    } else if (IsStart(token, {Tag::Template}) || IsEnd(token, {Tag::Template})) {
        return inHead(token);
    } else if (token.type == TokenType::EndOfFile) {
        return inBody(token);
    }
    if (!currentIs(Tag::Colgroup))
        return;
    pop();
    mode_ = Mode::InTable;
    dispatch(token);
}

void TreeBuilder::inTableBody(Token& token)
{
    const std::initializer_list<Tag> kContext = {Tag::Tbody, Tag::Tfoot, Tag::Thead};
    if (IsStart(token, {Tag::Tr})) {
        clearStackBackTo(kContext);
        insertElement(token);
        mode_ = Mode::InRow;
        return;
    }
    if (IsStart(token, {Tag::Th, Tag::Td})) {
        clearStackBackTo(kContext);
        insertElement(Tag::Tr);
        mode_ = Mode::InRow;
        return dispatch(token);
    }
    if (IsEnd(token, kContext)) {
        if (!inScope(token.tag, Scope::Table))
            return ignored(token);
        clearStackBackTo(kContext);
        pop();
        mode_ = Mode::InTable;
        return;
    }
    if (IsStart(token, {Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Tbody, Tag::Tfoot, Tag::Thead}) || IsEnd(token, {Tag::Table})) {
        if (!inScope(Tag::Tbody, Scope::Table) && !inScope(Tag::Thead, Scope::Table) && !inScope(Tag::Tfoot, Scope::Table))
            return ignored(token);
        clearStackBackTo(kContext);
        pop();
        mode_ = Mode::InTable;
        return dispatch(token);
    }
    if (IsEnd(token, {Tag::Body, Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Html, Tag::Td, Tag::Th, Tag::Tr}))
        return ignored(token);
    inTable(token);
}

void TreeBuilder::inRow(Token& token)
{
    if (IsStart(token, {Tag::Th, Tag::Td})) {
        clearStackBackTo({Tag::Tr});
        insertElement(token);
        mode_ = Mode::InCell;
        formatting_.push_back(kMarker);
        return;
    }
    const bool endsRow = IsStart(token, {Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Tr})
        || IsEnd(token, {Tag::Table});
    if (IsEnd(token, {Tag::Tr}) || endsRow) {
        if (!inScope(Tag::Tr, Scope::Table))
            return ignored(token);
        clearStackBackTo({Tag::Tr});
        pop();
        mode_ = Mode::InTableBody;
        if (endsRow)
            dispatch(token);
        return;
    }
    if (IsEnd(token, {Tag::Tbody, Tag::Tfoot, Tag::Thead})) {
        if (!inScope(token.tag, Scope::Table) || !inScope(Tag::Tr, Scope::Table))
            return ignored(token);
        clearStackBackTo({Tag::Tr});
        pop();
        mode_ = Mode::InTableBody;
        return dispatch(token);
    }
    if (IsEnd(token, {Tag::Body, Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Html, Tag::Td, Tag::Th}))
        return ignored(token);
    inTable(token);
}

void TreeBuilder::closeCell()
{
    generateImpliedEndTags();
    popUntilAny({Tag::Td, Tag::Th});
    clearFormattingToMarker();
    mode_ = Mode::InRow;
}

void TreeBuilder::inCell(Token& token)
{
    if (IsEnd(token, {Tag::Td, Tag::Th})) {
        if (!inScope(token.tag, Scope::Table))
            return ignored(token);
        generateImpliedEndTags();
        closesOpenElements(token);
        popUntil(token.tag);
        clearFormattingToMarker();
        mode_ = Mode::InRow;
        return;
    }
    if (IsStart(token, {Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Tbody, Tag::Td, Tag::Tfoot, Tag::Th, Tag::Thead, Tag::Tr})) {
        if (!inScope(Tag::Td, Scope::Table) && !inScope(Tag::Th, Scope::Table))
            return ignored(token);
        closeCell();
        return dispatch(token);
    }
    if (IsEnd(token, {Tag::Body, Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Html}))
        return ignored(token);
    if (IsEnd(token, {Tag::Table, Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Tr})) {
        if (!inScope(token.tag, Scope::Table))
            return ignored(token);
        closeCell();
        return dispatch(token);
    }
    inBody(token);
}

} // namespace html
