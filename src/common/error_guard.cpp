#include "common/error_guard.h"

#include <QString>

#include "common/io_error.h"
#include "common/ui_seams.h"

namespace orv {

void reportError(UiSeams& ui, QWidget* parent, const std::exception& error) {
    // Error messages carry paths, which are UTF-8 on this system.
    ui.error(parent, QString::fromUtf8(error.what()));
}

void reportUnknownError(UiSeams& ui, QWidget* parent) {
    ui.error(parent, QStringLiteral("An unexpected error occurred."));
}

}  // namespace orv
