#pragma once
// Hands text from files to the XML library. Every reader of XML goes through here: the library's parser
// calls itself once per level of nested elements, so a hostile file nested tens of thousands deep would
// exhaust the stack (and take minutes, as its work grows with the depth), and its UTF-8 reading can step
// over a closing quote or past the end of the text.

#include <cstddef>

class TiXmlDocument;

namespace host {

// Deeper than any file the program writes or ships.
inline constexpr int maxXmlNesting = 256;

// Far larger than any file the program writes or ships: the data files are below 100 KB, a player list of a
// thousand players below 100 KB, and the session record grows by some 200 bytes a playing session. A parsed
// document takes some thirty times its text's size, so a larger file is taken as damaged and not read: a
// hostile or broken file must not cost gigabytes and seconds at start-up.
inline constexpr std::size_t maxXmlBytes = 4u * 1024u * 1024u;

// How deeply the library would nest elements reading the text (up to its first zero byte): its own rules
// for comments, CDATA sections, declarations, other markup and quoted attribute values are followed, and
// where they could be read more than one way the deeper reading counts.
int xmlNestingDepth(const char* text);

// Parses the text, after a leading UTF-8 byte order mark, one byte per character (the program's texts are
// bytes, and references to character codes up to 255 become that byte). A text nested deeper than
// maxXmlNesting is not parsed at all: false, and the document stays empty.
bool parseXmlText(TiXmlDocument& document, const char* text);

} // namespace host
