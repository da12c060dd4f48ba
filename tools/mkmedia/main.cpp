// mkmedia <manifest.xml> <output-media-folder>: generates every file the manifest lists.
#include "tools/mkmedia/Manifest.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mkmedia <manifest.xml> <output-media-folder>\n";
        return 2;
    }
    std::string error;
    if (!mkmedia::runManifest(argv[1], argv[2], error)) {
        std::cerr << "mkmedia: " << error << "\n";
        return 1;
    }
    return 0;
}
