#pragma once

#include "tools/mkmedia/SheetPictures.h"

#include <vector>

namespace mkmedia {

// The album's sections of the contact sheet: the book open with a left page's collage and a right page's
// photo, the ribbon, the curled corners and the turning sheet in place over it; the album's buttons; frames
// of both turning strips over the pages; every collectable's photo and its flash-lit twin; every left page's
// collage, small, on the page's paper. Nothing without the book; other pictures the manifest did not make
// show as empty frames.
void addAlbumSections(const Pictures& pictures, std::vector<Section>& sections);

} // namespace mkmedia
