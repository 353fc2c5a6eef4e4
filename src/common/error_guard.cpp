#include "common/error_guard.h"

#include <QString>

#include "common/io_error.h"
#include "common/ui_seams.h"

namespace orv {

void reportError(QWidget* parent, const std::exception& error) {
    // Error messages carry paths, which are UTF-8 on this system.
    showError(parent, QString::fromUtf8(error.what()));
}

void reportUnknownError(QWidget* parent) { showError(parent, QStringLiteral("An unexpected error occurred.")); }

}  // namespace orv
