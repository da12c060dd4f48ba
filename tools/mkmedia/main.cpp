// mkmedia <manifest.xml> <output-media-folder> [--sheet <sheet.png>]: generates every file the manifest
// lists; with --sheet it then also writes the contact sheet of the pibbles' art, to review it by.
#include "tools/mkmedia/ContactSheet.h"
#include "tools/mkmedia/Manifest.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const bool withSheet = argc == 5 && std::string(argv[3]) == "--sheet";
    if (argc != 3 && !withSheet) {
        std::cerr << "usage: mkmedia <manifest.xml> <output-media-folder> [--sheet <sheet.png>]\n";
        return 2;
    }
    std::string error;
    if (!mkmedia::runManifest(argv[1], argv[2], error)) {
        std::cerr << "mkmedia: " << error << "\n";
        return 1;
    }
    if (withSheet && !mkmedia::writeSheetOfManifest(argv[1], argv[2], argv[4], error)) {
        std::cerr << "mkmedia: " << error << "\n";
        return 1;
    }
    return 0;
}
