#pragma once
// An editor control with the dialogs answered by a script, and the config folder private.
#include "TempConfig.h"
#include "platform/gui/ScriptedDialogs.h"
#include "richprint/TRECode.h"

#include <gtest/gtest.h>
#include <memory>

class EditorTest : public testing::Test {
protected:
    EditorTest() { editor->resize(400, 300); }

    std::string text() const { return editor->text(); }

    TempConfig config;
    platform::gui::ScriptedDialogs dialogs;
    platform::gui::ScopedDialogs scoped{dialogs};
    std::unique_ptr<richprint::TSRichEdit> editor = std::make_unique<richprint::TSRichEdit>();
};
