#pragma once

#include <string>

namespace venmarra {

// What the service sends is shown as inert text: control characters become visible symbols
// (C0 as their Control Pictures, DEL and C1 as U+FFFD) and bidirectional embeddings, overrides
// and isolates and the two noncharacters that a text document takes for frame marks become
// U+FFFD, so that nothing the service sends can move, hide or recolour other text.
// `keepLayout` keeps tabs and line breaks, for a mail's content.
std::u16string displayText(std::u16string text, bool keepLayout = false);

// `text` for a one-line control, cut to a length that no such control can show anyway, so that
// laying out a hostile megabyte of text cannot stall the window.
std::u16string displayLine(const std::u16string &text);

}  // namespace venmarra
