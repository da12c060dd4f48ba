#include "host/XmlParsing.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace host {
namespace {

// The library's own character classes, made with the same calls: every byte from 127 up is a letter.
bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool isNameStart(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 127 || std::isalpha(byte) != 0 || c == '_';
}

bool isNameChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 127 || std::isalnum(byte) != 0 || c == '_' || c == '-' || c == '.' || c == ':';
}

// Walks the text the way the library's byte-wise parser does, keeping count of the elements open. Where
// the parser would give up (a broken tag or attribute), the walk goes on as if in element content: what
// follows can then only add to the count, never hide elements from it.
class NestingScan {
public:
    explicit NestingScan(const char* text) : at(text) {}

    int run() {
        while (*at != '\0') {
            if (*at != '<') {
                ++at;
            } else if (startsWith("<?xml", true)) {
                skipDeclaration();
            } else if (startsWith("<!--")) {
                at += 4;
                skipPast("-->");
            } else if (startsWith("<![CDATA[")) {
                at += 9;
                skipPast("]]>");
            } else if (startsWith("</")) {
                depth = std::max(depth - 1, 0);
                at += 2;
                skipPast(">");
            } else if (isNameStart(at[1])) {
                readStartTag();
            } else {
                // Markup the parser does not know ("<!DOCTYPE", "<?name", a stray '<') ends at its first '>',
                // quotes or not.
                ++at;
                skipPast(">");
            }
        }
        return deepest;
    }

private:
    bool startsWith(const char* prefix, bool anyCase = false) const {
        for (std::size_t i = 0; prefix[i] != '\0'; ++i) {
            const auto c = static_cast<unsigned char>(at[i]);
            if (c == '\0' || (anyCase ? std::tolower(c) : c) != static_cast<unsigned char>(prefix[i])) {
                return false;
            }
        }
        return true;
    }

    // Not strstr, which may measure the whole rest of the text at every call.
    void skipPast(const char* terminator) {
        while (*at != '\0' && !startsWith(terminator)) {
            ++at;
        }
        if (*at != '\0') {
            at += std::strlen(terminator);
        }
    }

    void skipSpace() {
        while (isSpace(*at)) {
            ++at;
        }
    }

    void skipName() {
        while (isNameChar(*at)) {
            ++at;
        }
    }

    // The element counts from its '<' on: the parser has gone one level down before it reads the tag.
    void readStartTag() {
        deepest = std::max(deepest, depth + 1);
        ++at;
        skipName();
        for (;;) {
            skipSpace();
            if (*at == '/') {
                ++at;
                if (*at == '>') {
                    ++at;
                }
                return;
            }
            if (*at == '>') {
                ++at;
                ++depth;
                return;
            }
            if (*at == '\0' || !skipAttribute()) {
                return;
            }
        }
    }

    // False where the parser gives up: no name, no '=', or a quote inside an unquoted value.
    bool skipAttribute() {
        if (!isNameStart(*at)) {
            return false;
        }
        skipName();
        skipSpace();
        if (*at != '=') {
            return false;
        }
        ++at;
        skipSpace();
        if (*at == '"' || *at == '\'') {
            const char quote[] = {*at, '\0'};
            ++at;
            skipPast(quote);
            return true;
        }
        for (; *at != '\0' && !isSpace(*at) && *at != '/' && *at != '>'; ++at) {
            if (*at == '"' || *at == '\'') {
                return false;
            }
        }
        return true;
    }

    // A declaration ends at the first '>' outside the quoted values of the three attributes it knows; any
    // other word in it is skipped up to a blank or a '>'.
    void skipDeclaration() {
        at += 5;
        while (*at != '\0') {
            if (*at == '>') {
                ++at;
                return;
            }
            skipSpace();
            if (startsWith("version", true) || startsWith("encoding", true) ||
                startsWith("standalone", true)) {
                if (!skipAttribute()) {
                    return;
                }
                continue;
            }
            while (*at != '\0' && *at != '>' && !isSpace(*at)) {
                ++at;
            }
        }
    }

    const char* at;
    int depth = 0;
    int deepest = 0;
};

} // namespace

int xmlNestingDepth(const char* text) {
    return NestingScan(text).run();
}

bool parseXmlText(TiXmlDocument& document, const char* text) {
    // The mark only says the text is UTF-8: the bytes after it are taken as they are either way.
    if (std::strncmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
    }
    if (xmlNestingDepth(text) > maxXmlNesting) {
        return false;
    }
    // Byte-wise: the library's UTF-8 reading takes a lead byte's whole sequence, whatever the bytes are, so a
    // stray one swallows a closing quote or '<', or steps over the final zero and reads on past the text.
    document.Parse(text, nullptr, TIXML_ENCODING_LEGACY);
    return true;
}

} // namespace host
