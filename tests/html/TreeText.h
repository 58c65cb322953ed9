#pragma once
// Reading a parsed tree back in tests: the text under a node, the first link.
#include "html/Document.h"

#include <string>

namespace html::test {

// All text below node, in document order.
std::string TextBelow(const Document& document, NodeId node);

// The first HTML <a> at or below node, in document order; kNoNode when there is none.
NodeId FirstLink(const Document& document, NodeId node);

} // namespace html::test
