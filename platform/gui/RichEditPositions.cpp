#include "platform/gui/RichEditPositions.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace platform::gui {

namespace {

int stringStart(const QTextBlock& block) { return block.position() + block.blockNumber(); }

} // namespace

int StringToDocumentPosition(const QTextDocument& document, int stringPosition)
{
    if (stringPosition <= 0)
        return 0;
    // The last block whose string start is at or before the position.
    int low = 0;
    int high = document.blockCount() - 1;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (stringStart(document.findBlockByNumber(mid)) <= stringPosition)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock block = document.findBlockByNumber(low);
    // A position inside a CR LF pair, or past the end, stops at the end of the line.
    const int offset = std::min(stringPosition - stringStart(block), block.length() - 1);
    return block.position() + offset;
}

int DocumentToStringPosition(const QTextDocument& document, int documentPosition)
{
    const int last = document.characterCount() - 1;
    const int position = std::clamp(documentPosition, 0, std::max(0, last));
    return position + document.findBlock(position).blockNumber();
}

} // namespace platform::gui
