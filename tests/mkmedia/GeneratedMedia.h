#pragma once
// A manifest with an entry of every kind, generated once for the whole suite into a temporary folder.

#include "TempDir.h"
#include "tools/mkmedia/Manifest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace mkmediatest {

inline const char* const sampleManifest = R"(<?xml version="1.0"?>
<mkmedia>
  <font file="fonts/title" size="22" color="#FFE066" outline="#7A3E00"/>
  <font file="fonts/small" size="12" color="#FFFFFF"/>
  <image file="images/back.jpg" kind="background" width="640" height="480" creatures="2"/>
  <image file="images/back.png" kind="background" width="320" height="240"/>
  <image file="images/logo.png" kind="logo" width="160" height="140" frames="13" text="Pibbles" font="fonts/title"/>
  <image file="images/bar.png" kind="bar" width="200" height="20"/>
  <image file="images/frame_tl.png" kind="frame" part="topleft" width="24" height="24"/>
  <image file="images/frame_t.png" kind="frame" part="top" width="16" height="24"/>
  <image file="images/frame_tr.png" kind="frame" part="topright" width="24" height="24"/>
  <image file="images/frame_l.png" kind="frame" part="left" width="24" height="16"/>
  <image file="images/frame_c.png" kind="frame" part="center" width="16" height="16"/>
  <image file="images/frame_r.png" kind="frame" part="right" width="24" height="16"/>
  <image file="images/frame_bl.png" kind="frame" part="bottomleft" width="24" height="24"/>
  <image file="images/frame_b.png" kind="frame" part="bottom" width="16" height="24"/>
  <image file="images/frame_br.png" kind="frame" part="bottomright" width="24" height="24"/>
  <image file="images/button.png" kind="button" width="120" height="32" text="Play" font="fonts/small"/>
  <image file="images/fsh_quit.png" kind="fshbutton" width="20" height="20"/>
  <image file="images/panel.png" kind="panel" width="100" height="80"/>
  <image file="icon.bmp" kind="icon" width="32" height="32"/>
  <image file="images/mystery.png" kind="no-such-kind" width="40" height="30"/>
  <image file="images/sparkle.png" kind="sparkle" width="24" height="24" frames="14" orientation="horizontal"/>
  <image file="images/particle.png" kind="particle" look="purple" width="16" height="16"/>
  <image file="images/partystar.png" kind="partystar" width="64" height="64"/>
  <image file="images/pibble_ears.png" kind="pibble" part="ears" look="clown" width="100" height="125" frames="3"/>
  <image file="images/round.png" kind="button" width="48" height="48" frames="4" symbol="hint"/>
  <image file="images/floater.png" kind="floater" width="120" height="60" text="Go!" textsize="30" textcolor="#8CF05A"/>
  <image file="images/lock.png" kind="lock" width="48" height="48"/>
  <image file="images/timebar.png" kind="bar" width="200" height="10" color="#40D040" endcolor="#FFE020" opacity="0.5"/>
  <image file="images/bubble.png" kind="frame" part="right_arrowdown" width="140" height="100"/>
  <image file="images/book.png" kind="book" width="280" height="210"/>
  <image file="images/ribbon.png" kind="ribbon" width="18" height="32" frames="4"/>
  <image file="images/corner.png" kind="pagecorner" side="right" width="30" height="30"/>
  <image file="images/check.png" kind="checkmark" width="16" height="16"/>
  <image file="images/photo.png" kind="polaroid" collectable="12" light="true" width="75" height="85"/>
  <image file="images/turn.png" kind="pageturn" direction="backward" width="120" height="85" frames="4"/>
  <image file="images/collage.png" kind="collage" credits="2" text="Thanks" font="fonts/small" width="100" height="155"/>
  <image file="images/arrow.png" kind="button" width="40" height="40" frames="4" symbol="next"/>
</mkmedia>
)";

// Runs a manifest's text into a folder; the message of a failure becomes the test's.
inline bool generate(const testsupport::TempDir& dir, const std::string& manifest, const std::string& output,
                     std::string& error) {
    return mkmedia::runManifest(dir.write("manifest.xml", manifest), dir.path() / output, error);
}

// The output of sampleManifest, made on first use.
inline const std::filesystem::path& generatedMedia() {
    static testsupport::TempDir dir;
    static const std::filesystem::path output = [] {
        std::string error;
        EXPECT_TRUE(generate(dir, sampleManifest, "media", error)) << error;
        return dir.path() / "media";
    }();
    return output;
}

inline std::string mediaFile(const std::string& name) {
    return (generatedMedia() / name).string();
}

} // namespace mkmediatest
