#pragma once

namespace lanyx::ui {
// Makes the icons available (":/lanyx/..."); cheap after the first call.
void EnsureResources();
}  // namespace lanyx::ui
