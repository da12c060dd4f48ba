#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/WidgetCallback.h"

#include <string>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {
class Button;
class GameNode;
class Scene;
} // namespace ui

namespace game {

// The base of most of the game's dialogs: a dialog that can centre itself in the game area each time it
// is shown. Beside it stand the functions through which every scene and dialog of the game opens, fills
// and closes dialogs by their declaration names. A scene argument that is null means the current scene.
class DialogPibble : public ui::Dialog {
public:
    using Handler = ui::WidgetCallback::Function;

    // The dialog's keys, then "autocenter".
    explicit DialogPibble(kernel::NodeValue& settings);
    ~DialogPibble() override;

    // The scene shows and hides its dialogs through these.
    void activate() override { show(); }
    void deactivate() override { hide(); }
    // Activates the dialog, then centres it when asked to, with its size at this showing.
    virtual void show();
    virtual void hide();

    bool isAutoCenter() const { return autoCenter; }
    kernel::NodeValue* getSettingsNode() const { return settingsNode.get(); }

    // Makes (or takes the kept) dialog of that declaration, stored under its own name, and shows it.
    static ui::Dialog* openDialog(const std::string& name, ui::Scene* scene = nullptr,
                                  bool exclusive = false);
    // Closes the dialog stored under the key in the current scene and forgets it; the next open builds
    // it afresh.
    static void closeDialog(const std::string& key);
    // A message box with one button, stored under the message key, so boxes of different messages can
    // be open together. An empty header key leaves the box without a header.
    static ui::Dialog* showMessage(const std::string& messageKey, const std::string& headerKey,
                                   void* target = nullptr, Handler handler = nullptr,
                                   ui::Scene* scene = nullptr);
    // A question box with a yes and a no button, stored under the message key.
    static ui::Dialog* showYesNo(const std::string& messageKey, const std::string& headerKey, void* yesTarget,
                                 Handler yesHandler, void* noTarget, Handler noHandler,
                                 ui::Scene* scene = nullptr);
    // Shows the hint text of the key pointing at the target (none: a hint without one), over everything
    // else in the scene.
    static ui::Dialog* openHint(const std::string& key, ui::GameNode* target, ui::Scene* scene = nullptr);
    // Stores the kind (1 level finished, 2 game failed, 3 chapter finished) for the level-end dialog to
    // read, then shows that dialog.
    static ui::Dialog* openLevelEnd(int kind, ui::Scene* scene = nullptr);
    // The default button handler: the receiver is the dialog, and its name is its key in the scene.
    static void closeSelf(void* receiver, ui::GameNode* sender);

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&ui::Dialog::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void centre();

    bool autoCenter = false;
    kernel::SmartPtr<kernel::NodeValue> settingsNode;
};

// A dialog's components may be missing from its declaration: these leave a missing one alone.
void showNode(ui::GameNode* node, bool visible);
void enableButton(ui::Button* button, bool enabled);

} // namespace game
