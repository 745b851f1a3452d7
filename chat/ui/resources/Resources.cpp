#include "Resources.h"

#include <QtGlobal>

// Resources compiled into a static library must be registered by hand.
static void registerLanyxResources() {
    Q_INIT_RESOURCE(lanyx);
}

namespace lanyx::ui {

void EnsureResources() {
    static const bool done = (registerLanyxResources(), true);
    (void)done;
}

}  // namespace lanyx::ui
