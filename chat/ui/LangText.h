#pragma once
// A window's text in the chosen language, or its built-in caption where the
// language file has no text for the code or could not be used at all.
#include "ChatNode.h"

#include <QString>

namespace lanyx::ui {

inline QString LangTextOr(ChatNode& node, int code, const QString& builtIn) {
    if (node.language().errorFlag()) return builtIn;
    const auto t = node.LangText(code);
    return t.empty() ? builtIn : QString::fromStdString(t);
}

}  // namespace lanyx::ui
