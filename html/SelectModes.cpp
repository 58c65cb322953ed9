// The insertion modes of <select> (only options and option groups go in) and of <template>.
#include "html/TreeBuilder.h"

#include "html/TokenMatch.h"

#include <algorithm>

namespace html {

bool TreeBuilder::closeSelect()
{
    if (!inScope(Tag::Select, Scope::Select))
        return false;
    popUntil(Tag::Select);
    resetInsertionMode();
    return true;
}

void TreeBuilder::inSelect(Token& token)
{
    switch (token.type) {
    case TokenType::Characters:
        if (!IsNul(document_.text(token.text)))
            insertCharacters(token.text);
        return;
    case TokenType::Comment:
    case TokenType::Doctype:
        return;
    case TokenType::EndOfFile:
        return inBody(token);
    case TokenType::StartTag:
        switch (token.tag) {
        case Tag::Html:
            return inBody(token);
        case Tag::Option:
            if (currentIs(Tag::Option))
                pop();
            insertElement(token);
            return;
        case Tag::Optgroup:
            if (currentIs(Tag::Option))
                pop();
            if (currentIs(Tag::Optgroup))
                pop();
            insertElement(token);
            return;
        case Tag::Select:
            closeSelect();
            return;
        case Tag::Input:
        case Tag::Keygen:
        case Tag::Textarea:
            if (closeSelect())
                dispatch(token);
            return;
        case Tag::Script:
        case Tag::Template:
            return inHead(token);
        default:
            return;
        }
    case TokenType::EndTag:
        switch (token.tag) {
        case Tag::Optgroup:
            if (currentIs(Tag::Option) && stack_.size() > 1 && isHtml(stack_[stack_.size() - 2], Tag::Optgroup))
                pop();
            if (currentIs(Tag::Optgroup))
                pop();
            return;
        case Tag::Option:
            if (currentIs(Tag::Option))
                pop();
            return;
        case Tag::Select:
            closeSelect();
            return;
        case Tag::Template:
            return inHead(token);
        default:
            return;
        }
    }
}

void TreeBuilder::inSelectInTable(Token& token)
{
    const std::initializer_list<Tag> kTableTags = {Tag::Caption, Tag::Table, Tag::Tbody, Tag::Tfoot,
                                                       Tag::Thead,   Tag::Tr,    Tag::Td,    Tag::Th};
    if (IsStart(token, kTableTags)) {
        popUntil(Tag::Select);
        resetInsertionMode();
        return dispatch(token);
    }
    if (IsEnd(token, kTableTags)) {
        if (!inScope(token.tag, Scope::Table))
            return;
        popUntil(Tag::Select);
        resetInsertionMode();
        return dispatch(token);
    }
    inSelect(token);
}

void TreeBuilder::inTemplate(Token& token)
{
    switch (token.type) {
    case TokenType::Characters:
    case TokenType::Comment:
    case TokenType::Doctype:
        return inBody(token);
    case TokenType::StartTag: {
        if (IsHeadContent(token.tag))
            return inHead(token);
        Mode next = Mode::InBody;
        switch (token.tag) {
        case Tag::Caption:
        case Tag::Colgroup:
        case Tag::Tbody:
        case Tag::Tfoot:
        case Tag::Thead:
            next = Mode::InTable;
            break;
        case Tag::Col:
            next = Mode::InColumnGroup;
            break;
        case Tag::Tr:
            next = Mode::InTableBody;
            break;
        case Tag::Td:
        case Tag::Th:
            next = Mode::InRow;
            break;
        default:
            break;
        }
        templateModes_.back() = next;
        mode_ = next;
        return dispatch(token);
    }
    case TokenType::EndTag:
        if (token.tag == Tag::Template)
            return inHead(token);
        return;
    case TokenType::EndOfFile:
        if (openHtmlTags_[static_cast<std::size_t>(Tag::Template)] == 0)
            return;
        popUntil(Tag::Template);
        clearFormattingToMarker();
        templateModes_.pop_back();
        resetInsertionMode();
        return dispatch(token);
    }
}

} // namespace html
