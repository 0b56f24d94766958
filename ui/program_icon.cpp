#include "ui/program_icon.h"

QIcon ProgramIcon() {
    // The icon lives in a static library: its resource must be registered before first use.
    static const bool registered = [] {
        Q_INIT_RESOURCE(morvane);
        return true;
    }();
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/morvane.svg"));
}
