#include "html/Tokenizer.h"

#include "html/CharacterReferences.h"

#include <array>

namespace html {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool IsAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool EndsTagName(char c)
{
    return IsWhite(c) || c == '/' || c == '>';
}

constexpr std::array<bool, 256> StopTable(std::string_view stops)
{
    std::array<bool, 256> table{};
    for (const char c : stops)
        table[static_cast<unsigned char>(c)] = true;
    return table;
}

constexpr auto kDataStops = StopTable(std::string_view("<&\0", 3));
constexpr auto kRcdataStops = kDataStops;
constexpr auto kRawtextStops = StopTable(std::string_view("<\0", 2));
constexpr auto kPlaintextStops = StopTable(std::string_view("\0", 1));

Span PageSpan(std::size_t begin, std::size_t end)
{
    Span span;
    span.begin = static_cast<std::uint32_t>(begin);
    span.length = static_cast<std::uint32_t>(end - begin);
    return span;
}

} // namespace

Tokenizer::Tokenizer(Document& document) : document_(document), input_(document.page()) {}

void Tokenizer::setTextKind(TextKind kind)
{
    kind_ = kind;
    script_ = ScriptState::Normal;
}

bool Tokenizer::startsWithNoCase(std::size_t i, std::string_view word) const
{
    if (input_.size() - std::min(i, input_.size()) < word.size())
        return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (Lower(input_[i + k]) != word[k])
            return false;
    return true;
}

bool Tokenizer::isAppropriateEndTag(std::size_t i) const
{
    const std::size_t end = i + 2 + lastStartTag_.size();
    return at(i + 1, '/') && !lastStartTag_.empty() && startsWithNoCase(i + 2, lastStartTag_) && end < input_.size()
        && EndsTagName(input_[end]);
}

Token& Tokenizer::characters(std::size_t begin, std::size_t end)
{
    token_.type = TokenType::Characters;
    token_.text = PageSpan(begin, end);
    pos_ = end;
    return token_;
}

Token& Tokenizer::decoded(std::string_view text)
{
    token_.type = TokenType::Characters;
    token_.text = document_.keep(text);
    return token_;
}

Token& Tokenizer::endOfFile()
{
    token_.type = TokenType::EndOfFile;
    return token_;
}

Token& Tokenizer::next()
{
    for (;;) {
        if (cdataEnd_ != 0) {
            if (cdataSection())
                return token_;
            continue;
        }
        if (pos_ >= input_.size()) {
            token_.offset = static_cast<std::uint32_t>(input_.size());
            return endOfFile();
        }
        const auto start = static_cast<std::uint32_t>(pos_);
        bool emitted = false;
        switch (kind_) {
        case TextKind::Data:
            emitted = data();
            break;
        case TextKind::Rcdata:
            emitted = text(kRcdataStops, true);
            break;
        case TextKind::Rawtext:
            emitted = text(kRawtextStops, false);
            break;
        case TextKind::ScriptData:
            emitted = scriptData();
            break;
        case TextKind::Plaintext:
            emitted = text(kPlaintextStops, false);
            break;
        }
        if (emitted) {
            token_.offset = start;
            return token_;
        }
    }
}

bool Tokenizer::reference(bool inAttribute)
{
    const DecodedReference ref = DecodeReference(input_.substr(pos_), inAttribute);
    referenceError(pos_, ref);
    if (ref.length == 0) {
        characters(pos_, pos_ + 1);
        return true;
    }
    pos_ += ref.length;
    decoded(ref.characters());
    return true;
}

bool Tokenizer::data()
{
    const char c = input_[pos_];
    if (c == '<')
        return tagOpen();
    if (c == '&')
        return reference(false);
    std::size_t end = pos_ + 1;
    if (c != '\0')
        while (end < input_.size() && !kDataStops[static_cast<unsigned char>(input_[end])])
            ++end;
    else
        error(pos_, ErrorCode::UnexpectedNullCharacter);
    characters(pos_, end);
    return true;
}

bool Tokenizer::text(const std::array<bool, 256>& stops, bool references)
{
    const char c = input_[pos_];
    if (c == '<' && stops['<']) {
        if (isAppropriateEndTag(pos_)) {
            kind_ = TextKind::Data;
            return tag(pos_ + 2, true);
        }
        characters(pos_, pos_ + 1);
        return true;
    }
    if (c == '&' && references)
        return reference(false);
    if (c == '\0') {
        error(pos_, ErrorCode::UnexpectedNullCharacter);
        ++pos_;
        decoded(kReplacement);
        return true;
    }
    std::size_t end = pos_ + 1;
    while (end < input_.size() && !stops[static_cast<unsigned char>(input_[end])])
        ++end;
    characters(pos_, end);
    return true;
}

bool Tokenizer::scriptEndsAt(std::size_t i) const
{
    return input_[i] == '<' && script_ < ScriptState::DoubleEscaped && isAppropriateEndTag(i);
}

bool Tokenizer::scriptData()
{
    if (input_[pos_] == '\0') {
        error(pos_, ErrorCode::UnexpectedNullCharacter);
        ++pos_;
        decoded(kReplacement);
        return true;
    }
    if (scriptEndsAt(pos_)) {
        kind_ = TextKind::Data;
        script_ = ScriptState::Normal;
        return tag(pos_ + 2, true);
    }
    std::size_t i = pos_;
    while (i < input_.size() && input_[i] != '\0' && (i == pos_ || !scriptEndsAt(i)))
        scriptStep(i);
    characters(pos_, i);
    return true;
}

std::size_t Tokenizer::letters(std::size_t i) const
{
    while (i < input_.size() && IsAlpha(input_[i]))
        ++i;
    return i;
}

bool Tokenizer::isScriptWord(std::size_t begin, std::size_t end) const
{
    return end - begin == 6 && startsWithNoCase(begin, "script") && end < input_.size() && EndsTagName(input_[end]);
}

// One character of script text, through the states that decide where "</script" ends it:
// "<!--" escapes, a "<script" inside the escape escapes twice, "-->" ends both.
void Tokenizer::scriptStep(std::size_t& i)
{
    const char c = input_[i];
    using S = ScriptState;
    switch (script_) {
    case S::Normal:
        if (c == '<' && input_.compare(i + 1, 3, "!--") == 0) {
            script_ = S::EscapedDashDash;
            i += 4;
            return;
        }
        ++i;
        return;
    case S::Escaped:
    case S::EscapedDash:
    case S::EscapedDashDash:
        if (c == '-') {
            script_ = script_ == S::Escaped ? S::EscapedDash : S::EscapedDashDash;
        } else if (c == '<' && i + 1 < input_.size() && IsAlpha(input_[i + 1])) {
            const std::size_t end = letters(i + 1);
            script_ = isScriptWord(i + 1, end) ? S::DoubleEscaped : S::Escaped;
            i = end;
            return;
        } else if (c == '>' && script_ == S::EscapedDashDash) {
            script_ = S::Normal;
        } else {
            script_ = S::Escaped;
        }
        ++i;
        return;
    case S::DoubleEscaped:
    case S::DoubleEscapedDash:
    case S::DoubleEscapedDashDash:
        if (c == '-') {
            script_ = script_ == S::DoubleEscaped ? S::DoubleEscapedDash : S::DoubleEscapedDashDash;
        } else if (c == '<' && at(i + 1, '/')) {
            const std::size_t end = letters(i + 2);
            script_ = isScriptWord(i + 2, end) ? S::Escaped : S::DoubleEscaped;
            i = end;
            return;
        } else if (c == '>' && script_ == S::DoubleEscapedDashDash) {
            script_ = S::Normal;
        } else {
            script_ = S::DoubleEscaped;
        }
        ++i;
        return;
    }
}

bool Tokenizer::tagOpen()
{
    const std::size_t i = pos_ + 1;
    if (i >= input_.size()) {
        error(pos_, ErrorCode::EofBeforeTagName);
        characters(pos_, i);
        return true;
    }
    const char c = input_[i];
    if (c == '!')
        return markupDeclaration();
    if (c == '/') {
        if (i + 1 >= input_.size()) {
            error(pos_, ErrorCode::EofBeforeTagName);
            characters(pos_, i + 1);
            return true;
        }
        if (IsAlpha(input_[i + 1]))
            return tag(i + 1, true);
        if (input_[i + 1] == '>') {
            error(pos_, ErrorCode::MissingEndTagName);
            pos_ = i + 2;
            return false;
        }
        error(pos_, ErrorCode::InvalidFirstCharacterOfTagName);
        bogusComment(i + 1);
        return true;
    }
    if (IsAlpha(c))
        return tag(i, false);
    if (c == '?') {
        error(pos_, ErrorCode::UnexpectedQuestionMarkInsteadOfTagName);
        bogusComment(i);
        return true;
    }
    error(pos_, ErrorCode::InvalidFirstCharacterOfTagName);
    characters(pos_, i);
    return true;
}

Span Tokenizer::lowerCaseName(std::size_t begin, std::size_t end)
{
    const std::string_view name = input_.substr(begin, end - begin);
    bool plain = true;
    for (const char c : name)
        plain = plain && !(c >= 'A' && c <= 'Z') && c != '\0';
    if (plain)
        return PageSpan(begin, end);
    scratch_.clear();
    for (const char c : name) {
        if (c == '\0')
            scratch_ += kReplacement;
        else
            scratch_ += Lower(c);
    }
    const auto known = lowered_.find(scratch_);
    if (known != lowered_.end())
        return known->second;
    const Span span = document_.keep(scratch_);
    lowered_.emplace(scratch_, span);
    return span;
}

bool Tokenizer::tag(std::size_t nameStart, bool end)
{
    std::size_t i = nameStart;
    while (i < input_.size() && !EndsTagName(input_[i]))
        ++i;
    const std::size_t open = nameStart - (end ? 2 : 1);
    if (i >= input_.size()) {
        error(open, ErrorCode::EofInTag);
        pos_ = input_.size();
        return false;
    }
    if (document_.keepsErrors())
        nameErrors(nameStart, i);
    token_.type = end ? TokenType::EndTag : TokenType::StartTag;
    token_.text = lowerCaseName(nameStart, i);
    const std::string_view name = document_.text(token_.text);
    token_.tag = TagOf(name);
    token_.selfClosing = false;
    token_.attributes.clear();
    names_.clear();
    if (!end)
        lastStartTag_.assign(name); // before the attributes: decoding them may move the name
    if (!attributes(i)) {
        error(open, ErrorCode::EofInTag);
        pos_ = input_.size();
        return false;
    }
    if (end && !token_.attributes.empty())
        error(open, ErrorCode::EndTagWithAttributes);
    if (end && token_.selfClosing)
        error(open, ErrorCode::EndTagWithTrailingSolidus);
    pos_ = i;
    return true;
}

bool Tokenizer::isDuplicate(Span name)
{
    const std::string_view text = document_.text(name);
    constexpr std::size_t kFewAttributes = 16;
    if (token_.attributes.size() < kFewAttributes) {
        for (const Attribute& a : token_.attributes)
            if (document_.text(a.name) == text)
                return true;
        return false;
    }
    // A tag with very many attributes: look them up instead of comparing each with all.
    if (names_.empty())
        for (const Attribute& a : token_.attributes)
            names_.emplace(document_.text(a.name));
    return !names_.emplace(text).second;
}

// Reads the attributes from the end of the tag name up to and with ">"; false at the end of
// the page, which drops the tag.
bool Tokenizer::attributes(std::size_t& i)
{
    const std::size_t size = input_.size();
    for (;;) {
        while (i < size && IsWhite(input_[i]))
            ++i;
        if (i >= size)
            return false;
        if (input_[i] == '>') {
            ++i;
            return true;
        }
        if (input_[i] == '/') {
            ++i;
            if (at(i, '>')) {
                token_.selfClosing = true;
                ++i;
                return true;
            }
            error(i - 1, ErrorCode::UnexpectedSolidusInTag);
            continue;
        }
        const std::size_t nameStart = i++;
        while (i < size && !EndsTagName(input_[i]) && input_[i] != '=')
            ++i;
        if (i >= size)
            return false;
        if (input_[nameStart] == '=')
            error(nameStart, ErrorCode::UnexpectedEqualsSignBeforeAttributeName);
        if (document_.keepsErrors())
            nameErrors(nameStart, i);
        const Span name = lowerCaseName(nameStart, i);
        while (i < size && IsWhite(input_[i]))
            ++i;
        Span value;
        if (at(i, '=')) {
            ++i;
            while (i < size && IsWhite(input_[i]))
                ++i;
            if (i >= size)
                return false;
            const char quote = input_[i];
            if (quote == '"' || quote == '\'') {
                ++i;
                value = attributeValue(i, quote);
                if (i >= size)
                    return false;
                ++i;
                if (i < size && !IsWhite(input_[i]) && input_[i] != '/' && input_[i] != '>')
                    error(i, ErrorCode::MissingWhitespaceBetweenAttributes);
            } else if (quote != '>') {
                value = attributeValue(i, 0);
            } else {
                error(i, ErrorCode::MissingAttributeValue);
            }
        }
        if (!isDuplicate(name))
            token_.attributes.push_back({name, value});
        else
            error(nameStart, ErrorCode::DuplicateAttribute, document_.text(name));
    }
}

// quote: the closing quote, or 0 for an unquoted value (ended by white space or ">").
Span Tokenizer::attributeValue(std::size_t& i, char quote)
{
    const std::size_t start = i;
    bool plain = true;
    const auto leavePlain = [&] {
        if (plain)
            scratch_.assign(input_.substr(start, i - start));
        plain = false;
    };
    while (i < input_.size()) {
        const char c = input_[i];
        if (quote != 0 ? c == quote : (IsWhite(c) || c == '>'))
            break;
        if (quote == 0 && (c == '"' || c == '\'' || c == '<' || c == '=' || c == '`'))
            error(i, ErrorCode::UnexpectedCharacterInUnquotedAttributeValue);
        if (c == '&') {
            const DecodedReference ref = DecodeReference(input_.substr(i), true);
            referenceError(i, ref);
            if (ref.length != 0) {
                leavePlain();
                scratch_ += ref.characters();
                i += ref.length;
                continue;
            }
        } else if (c == '\0') {
            error(i, ErrorCode::UnexpectedNullCharacter);
            leavePlain();
            scratch_ += kReplacement;
            ++i;
            continue;
        }
        if (!plain)
            scratch_ += c;
        ++i;
    }
    return plain ? PageSpan(start, i) : document_.keep(scratch_);
}

bool Tokenizer::markupDeclaration()
{
    const std::size_t i = pos_ + 2;
    token_.type = TokenType::Comment;
    if (input_.compare(i, 2, "--") == 0) {
        comment(i + 2);
        return true;
    }
    if (startsWithNoCase(i, "doctype")) {
        doctype(i + 7);
        return true;
    }
    const bool cdata = input_.compare(i, 7, "[CDATA[") == 0;
    if (foreign_ && cdata) {
        const std::size_t contentStart = i + 7;
        const std::size_t end = input_.find("]]>", contentStart);
        cdataEnd_ = end == std::string_view::npos ? input_.size() : end;
        cdataResume_ = end == std::string_view::npos ? input_.size() : end + 3;
        pos_ = contentStart;
        return false;
    }
    error(pos_, cdata ? ErrorCode::CdataInHtmlContent : ErrorCode::IncorrectlyOpenedComment);
    bogusComment(i);
    return true;
}

// The text of a CDATA section, a NUL alone as in the data state.
bool Tokenizer::cdataSection()
{
    if (pos_ >= cdataEnd_) {
        pos_ = cdataResume_;
        cdataEnd_ = 0;
        return false;
    }
    std::size_t end = pos_ + 1;
    if (input_[pos_] != '\0')
        while (end < cdataEnd_ && input_[end] != '\0')
            ++end;
    characters(pos_, end);
    return true;
}

void Tokenizer::bogusComment(std::size_t contentStart)
{
    token_.type = TokenType::Comment;
    const std::size_t end = input_.find('>', contentStart);
    pos_ = end == std::string_view::npos ? input_.size() : end + 1;
}

// Comments are not kept; only where one ends matters: "-->", "--!>", "<!-->", "<!--->", or
// the end of the page.
void Tokenizer::comment(std::size_t i)
{
    const std::size_t open = i - 4;
    if (at(i, '>')) {
        error(open, ErrorCode::AbruptClosingOfEmptyComment);
        pos_ = i + 1;
        return;
    }
    if (at(i, '-') && at(i + 1, '>')) {
        error(open, ErrorCode::AbruptClosingOfEmptyComment);
        pos_ = i + 2;
        return;
    }
    const std::size_t contentStart = i;
    for (;;) {
        const std::size_t dashes = input_.find("--", i);
        if (dashes == std::string_view::npos) {
            error(open, ErrorCode::EofInComment);
            pos_ = input_.size();
            return;
        }
        std::size_t k = dashes + 2;
        while (at(k, '-'))
            ++k;
        if (at(k, '>') || (at(k, '!') && at(k + 1, '>'))) {
            if (input_[k] == '!')
                error(dashes, ErrorCode::IncorrectlyClosedComment);
            if (document_.keepsErrors())
                commentErrors(contentStart, dashes);
            pos_ = k + (input_[k] == '>' ? 1 : 2);
            return;
        }
        i = at(k, '!') ? k + 1 : k;
    }
}

void Tokenizer::commentErrors(std::size_t begin, std::size_t end)
{
    for (std::size_t at = input_.find("<!--", begin); at != std::string_view::npos && at + 4 <= end + 2;
         at = input_.find("<!--", at + 4))
        error(at, ErrorCode::NestedComment);
}

void Tokenizer::nameErrors(std::size_t begin, std::size_t end)
{
    for (std::size_t at = begin; at < end; ++at) {
        const char c = input_[at];
        if (c == '\0')
            error(at, ErrorCode::UnexpectedNullCharacter);
        else if (c == '"' || c == '\'' || c == '<')
            error(at, ErrorCode::UnexpectedCharacterInAttributeName);
    }
}

void Tokenizer::referenceError(std::size_t offset, const DecodedReference& reference)
{
    if (reference.error)
        error(offset, *reference.error);
    if (reference.secondError)
        error(offset, *reference.secondError);
}

void Tokenizer::doctype(std::size_t i)
{
    const std::size_t size = input_.size();
    token_.type = TokenType::Doctype;
    token_.forceQuirks = false;
    token_.hasPublicId = token_.hasSystemId = false;
    token_.doctypeName.clear();
    token_.publicId.clear();
    token_.systemId.clear();
    const auto skipWhite = [&] {
        while (i < size && IsWhite(input_[i]))
            ++i;
    };
    const std::size_t open = i - 9; // "<!doctype"
    // Ends the token at i: ">" there, or the end of the page (which forces quirks).
    const auto finish = [&](bool quirks) {
        if (i >= size)
            error(open, ErrorCode::EofInDoctype);
        token_.forceQuirks = token_.forceQuirks || quirks || i >= size;
        pos_ = std::min(i + 1, size);
    };
    const auto bogus = [&] {
        const std::size_t end = input_.find('>', i);
        pos_ = end == std::string_view::npos ? size : end + 1;
    };
    const auto append = [](std::string& to, char c) {
        if (c == '\0')
            to += kReplacement;
        else
            to += Lower(c);
    };
    skipWhite();
    if (i < size && input_[i] == '>')
        error(open, ErrorCode::MissingDoctypeName);
    if (i >= size || input_[i] == '>')
        return finish(true);
    while (i < size && !IsWhite(input_[i]) && input_[i] != '>')
        append(token_.doctypeName, input_[i++]);
    skipWhite();
    if (i >= size || input_[i] == '>')
        return finish(false);
    const bool isPublic = startsWithNoCase(i, "public");
    if (!isPublic && !startsWithNoCase(i, "system")) {
        error(i, ErrorCode::InvalidCharacterSequenceAfterDoctypeName);
        token_.forceQuirks = true;
        return bogus();
    }
    i += 6;
    // Reads a quoted identifier at i; false when the token ended (at ">" or the page's end).
    const auto identifier = [&](std::string& id, bool& has) {
        skipWhite();
        if (i >= size || input_[i] == '>') {
            finish(true);
            return false;
        }
        const char quote = input_[i];
        if (quote != '"' && quote != '\'') {
            token_.forceQuirks = true;
            bogus();
            return false;
        }
        has = true;
        for (++i; i < size && input_[i] != quote && input_[i] != '>'; ++i)
            id += input_[i] == '\0' ? std::string(kReplacement) : std::string(1, input_[i]);
        if (i >= size || input_[i] == '>') {
            finish(true);
            return false;
        }
        ++i;
        return true;
    };
    if (isPublic) {
        if (!identifier(token_.publicId, token_.hasPublicId))
            return;
        skipWhite();
        if (i >= size || input_[i] == '>')
            return finish(false);
        if (input_[i] != '"' && input_[i] != '\'') {
            token_.forceQuirks = true;
            return bogus();
        }
    }
    if (!identifier(token_.systemId, token_.hasSystemId))
        return;
    skipWhite();
    if (i >= size || input_[i] == '>')
        return finish(false);
    bogus();
}

} // namespace html
