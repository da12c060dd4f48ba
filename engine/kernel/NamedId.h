#pragma once
// The record by which each layer lists the ids its code looks up in the authored data. A lookup of the
// running game never fails loudly (a typo gives 0, an empty text or an invisible sprite), so the content
// check holds the data to exactly these lists.

namespace kernel {

// What the code takes an id for, and so where the data must hold it and as what.
enum class IdKind {
    String,  // a <String> of the start-up settings
    Text,    // a <Text> of the start-up settings
    Integer, // an <Integer> of the start-up settings: a tuning value
    Double,  // a <Double> of the start-up settings: a tuning value read as a float
    Group,   // a section of the resource lists
    Image,   // Image, Font and Sound: a resource of the section given with the id
    Font,
    Sound,
    Scene,       // a scene declared under "dialogs"
    Dialog,      // a dialog declared under "dialogs"
    Declaration, // a top-level declaration of the dialog file
    Sprite,      // Sprite, Label and Button: a component of the scene or dialog given as the section
    Label,
    Button,
};

struct NamedId {
    const char* id;
    // The resource section the id is looked up in, or the declaration that holds the component; null where
    // the kind alone says where.
    const char* section;
    IdKind kind;
};

namespace ids {

// The window title, the single-instance lock and the prefix of the resource loader's mutexes.
inline constexpr const char* gameName = "GAME_NAME";

inline constexpr NamedId named[] = {{gameName, nullptr, IdKind::String}};

} // namespace ids

} // namespace kernel
