#include "ErrorBox.h"

#include "XClient.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <link.h>
#include <linux/kcmp.h>
#include <mutex>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace e2e {

namespace fs = std::filesystem;

namespace {

// The starts made at the same time.
constexpr int boxSlots = 2;

// The process's parent, from its stat line (after the command's name, which may hold anything); 0 where it
// cannot be read.
pid_t parentOf(pid_t process) {
    const std::string stat = readFile("/proc/" + std::to_string(process) + "/stat");
    const std::size_t name = stat.rfind(") ");
    int parent = 0;
    return name != std::string::npos && std::sscanf(stat.c_str() + name + 2, "%*c %d", &parent) == 1 ? parent
                                                                                                     : 0;
}

// The program's interpreter, as the driver names its own: the game is built by the same tools.
std::string dynamicLoader() {
    std::string loader;
    ::dl_iterate_phdr(
        [](dl_phdr_info* object, std::size_t, void* found) {
            for (int i = 0; i < object->dlpi_phnum; ++i) {
                if (object->dlpi_phdr[i].p_type == PT_INTERP) {
                    *static_cast<std::string*>(found) =
                        reinterpret_cast<const char*>(object->dlpi_addr + object->dlpi_phdr[i].p_vaddr);
                }
            }
            // The program itself comes first.
            return 1;
        },
        &loader);
    if (loader.empty()) {
        fail("the driver names no dynamic loader");
    }
    return loader;
}

// LeakSanitizer's options for the game, with the suppressions given to the driver and the one added.
std::string withSuppression(const std::string& suppression, const fs::path& scratch) {
    const char* given = std::getenv("LSAN_OPTIONS");
    std::string options = given != nullptr ? given : "";
    const fs::path file = scratch / "lsan-loader.supp";
    std::string suppressions;
    const std::string key = "suppressions=";
    if (const std::size_t at = options.find(key); at != std::string::npos) {
        const std::size_t end = options.find(':', at);
        suppressions = readFile(options.substr(at + key.size(), end - at - key.size()));
        options.erase(at, end == std::string::npos ? std::string::npos : end - at + 1);
    }
    std::ofstream(file) << suppressions << "\n" << suppression << "\n";
    return options + (options.empty() || options.ends_with(':') ? "" : ":") + key + file.string();
}

struct BoxTry {
    bool shown = false;
    bool exitedCleanly = false;
    // Ended by the walk.
    std::vector<std::string> left;
    // What went wrong, empty when nothing did.
    std::string failure;
};

// The start of the row "while an error box showed" alone, on an X server of its own.
BoxTry showErrorBoxOnce(const fs::path& folder, int i, const fs::path& fonts) {
    BoxTry tried;
    XServer server("640x480x24", fonts.string(), false);
    const Environment environment{{"XDG_CONFIG_HOME", (folder / "config").string()},
                                  {"XDG_RUNTIME_DIR", (folder / "runtime").string()},
                                  {"DISPLAY", server.display()}};
    Game copy(folder / "run", folder / ("box" + std::to_string(i) + ".log"), environment);
    tried.shown = errorBoxShown(copy, server);
    server.end();
    std::string failure;
    if (!tried.shown) {
        failure += ", no error box showed";
    }
    const bool ended = copy.exitedWithin(exitSeconds);
    tried.exitedCleanly = ended && copy.exitedCleanly();
    if (!ended) {
        failure += ", the game did not end (" + copy.lastWait() + ")";
    } else if (!tried.exitedCleanly) {
        failure += ", the game ended with " + copy.describeEnd();
    }
    tried.left = copy.endLeftBehind();
    if (!tried.left.empty()) {
        failure += ", processes left running were ended: " + listed(tried.left);
    }
    if (const std::string said = copy.output(); said.find("fork beside ") != std::string::npos) {
        failure += ", a fork beside running threads was told";
    }
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder / "runtime", error)) {
        failure += ", " + entry.path().filename().string() + " was left behind";
        fs::remove(entry.path(), error);
    }
    if (!failure.empty()) {
        tried.failure = "try " + std::to_string(i) + failure + ":\n" + copy.output();
    }
    progress("try " + std::to_string(i) +
             (failure.empty() ? ": the error box showed, and the game ended "
                                "with exit code 0 after its X server"
                              : failure));
    return tried;
}

} // namespace

// Under the sanitizers, the loader's own allocations for the program's libraries (_dl_map_object_deps),
// kept for the process's life, count as leaks at the end of a start through it: only those are suppressed.
Launch launchFor(Start start, const fs::path& scratch) {
    if (start == Start::byPath) {
        return {};
    }
    return {{dynamicLoader()}, {{"LSAN_OPTIONS", withSuppression("leak:_dl_map_object_deps", scratch)}}};
}

void hideRelaxScene(const fs::path& run, bool hidden) {
    const fs::path declarations = run / "media/properties/dialogs.xml";
    const std::string shown = "id=\"SCENE_PLAY_RELAX\"";
    const std::string gone = "id=\"SCENE_PLAY_RELAX_GONE\"";
    std::string text = readFile(declarations);
    const std::size_t at = text.find(hidden ? shown : gone);
    if (at == std::string::npos) {
        fail("the scene declarations do not name the RELAX play scene");
    }
    text.replace(at, (hidden ? shown : gone).size(), hidden ? gone : shown);
    std::ofstream(declarations, std::ios::binary | std::ios::trunc) << text;
}

fs::path boxFonts(const fs::path& scratch) {
    const fs::path folder = scratch / "box-fonts";
    fs::create_directories(folder);
    std::ofstream(folder / "fonts.alias")
        << "-misc-fixed-medium-r-normal--13-120-75-75-c-70-iso8859-1 fixed\n"
        << "-misc-fixed-medium-r-normal--13-120-75-75-c-70-iso10646-1 fixed\n";
    return folder;
}

bool errorBoxShown(Game& copy, const XServer& server) {
    return copy.within(windowSeconds, [&] {
        return !testsupport::shownTopLevelWindows("Error", server.display().c_str()).empty() ||
               !copy.running();
    }) && copy.running();
}

void endBoxFromOutside(Game& copy, const XServer& server, BoxEnd end) {
    const auto boxes = [&server] {
        return testsupport::shownTopLevelWindows("Error", server.display().c_str());
    };
    const std::vector<unsigned long> shown = boxes();
    const auto childrenOf = [&copy](pid_t parent) {
        std::vector<pid_t> children = copy.processes();
        std::erase_if(children,
                      [parent](pid_t process) { return parent == 0 || parentOf(process) != parent; });
        return children;
    };
    const std::vector<pid_t> copies = childrenOf(copy.process());
    const pid_t boxCopy = copies.empty() ? 0 : copies.front();
    const std::vector<pid_t> drawing = childrenOf(boxCopy);
    if (drawing.empty() || shown.empty()) {
        fail("no process of the game was found drawing its error box");
    }
    const bool copyEnded = end == BoxEnd::copyTerminated;
    if (end == BoxEnd::connectionClosed) {
        capture("xkill -display " + server.display() + " -id " + std::to_string(shown.front()));
    } else {
        ::kill(copyEnded ? boxCopy : drawing.front(), copyEnded ? SIGTERM : SIGKILL);
    }
    // The game's processes start others only to show a box: a copy, a fork that draws it, zenity.
    // LeakSanitizer's check at the game's end runs in a child too, which shares the game's memory (kcmp tells
    // them apart). A new box is not told by its window: the server gives a new client the ids of one that has
    // gone.
    const std::vector<pid_t> known{copy.process(), boxCopy, drawing.front()};
    const auto anotherBox = [&] {
        return std::ranges::any_of(copy.processes(), [&](pid_t process) {
            return std::ranges::find(known, process) == known.end() &&
                   ::syscall(SYS_kcmp, copy.process(), process, KCMP_VM, 0, 0) > 0;
        });
    };
    bool shownAgain = false;
    copy.within(exitSeconds, [&] {
        shownAgain = anotherBox();
        return shownAgain || !copy.running();
    });
    const std::string how = copyEnded                      ? "its copy was ended with SIGTERM"
                            : end == BoxEnd::drawingKilled ? "its drawing process was killed"
                                                           : "its connection was closed";
    if (shownAgain) {
        fail("the game started another process to show its error box again once " + how + ":\n" +
             copy.output());
    }
    if (copy.running()) {
        return;
    }
    // The drawing process of a copy that was ended keeps its box until it is closed.
    if (copyEnded) {
        if (boxes() != shown) {
            fail("the error box did not stay once its copy was ended and the game had ended");
        }
        for (const unsigned long box : shown) {
            testsupport::askWindowToClose(box);
        }
        copy.within(exitSeconds, [&copy] { return copy.processes().empty(); });
    }
    progress("no other process of the game was seen showing the error box once " + how);
}

Environment zenityStandIn(const fs::path& scratch) {
    const fs::path folder = scratch / "zenity-stand-in";
    fs::create_directories(folder);
    fs::remove(scratch / "zenity-ran");
    const fs::path program = folder / "zenity";
    std::ofstream(program) << "#!/bin/sh\necho \"$*\" >> '" << (scratch / "zenity-ran").string() << "'\n";
    fs::permissions(program, fs::perms::owner_all);
    const char* path = std::getenv("PATH");
    return {{"PATH", folder.string() + ":" + (path != nullptr ? path : "/usr/bin:/bin")}};
}

bool zenityRan(const fs::path& scratch) {
    return fs::exists(scratch / "zenity-ran");
}

void showErrorBoxes(const fs::path& runTree, const fs::path& scratch, int tries) {
    if (tries == 0) {
        return;
    }
    waitWithoutCeiling();
    const auto boxFolder = [&scratch](int slot) { return scratch / ("box" + std::to_string(slot)); };
    for (int slot = 0; slot < boxSlots; ++slot) {
        copyGameInto(runTree, boxFolder(slot));
        hideRelaxScene(boxFolder(slot) / "run", true);
    }
    const fs::path fonts = boxFonts(scratch);
    std::mutex lock;
    int shown = 0;
    int exitedCleanly = 0;
    int processesLeft = 0;
    std::vector<std::string> failures;
    std::vector<std::thread> slots;
    for (int slot = 0; slot < boxSlots; ++slot) {
        slots.emplace_back([&, slot] {
            for (int i = slot; i < tries; i += boxSlots) {
                BoxTry tried;
                try {
                    tried = showErrorBoxOnce(boxFolder(slot), i, fonts);
                } catch (const Failure& failure) {
                    tried.failure = "try " + std::to_string(i) + ": " + failure.reason;
                }
                const std::lock_guard counting(lock);
                shown += tried.shown ? 1 : 0;
                exitedCleanly += tried.exitedCleanly ? 1 : 0;
                processesLeft += static_cast<int>(tried.left.size());
                if (!tried.failure.empty()) {
                    failures.push_back(tried.failure);
                }
            }
        });
    }
    for (std::thread& slot : slots) {
        slot.join();
    }
    const std::string tried = std::to_string(tries);
    const std::string counted = std::to_string(shown) + " of " + tried + " error boxes shown, " +
                                std::to_string(exitedCleanly) + " of " + tried +
                                " copies exited with 0 after their X server ended, " +
                                std::to_string(processesLeft) + " processes of the game left running";
    progress(counted);
    if (!failures.empty()) {
        std::string named;
        for (std::size_t i = 0; i < failures.size() && i < 5; ++i) {
            named += "\n" + failures[i];
        }
        fail(std::to_string(failures.size()) + " tries failed (" + counted + "):" + named);
    }
}

} // namespace e2e
