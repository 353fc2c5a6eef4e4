#pragma once
// Every window action runs inside one of these, so that no exception crosses the Qt event loop: a
// failed file operation is shown through the message seam (the program's general error handler), or
// swallowed where a window must close whatever happens.

#include <exception>
#include <utility>

class QWidget;

namespace orv {

class UiSeams;

void reportError(UiSeams& ui, QWidget* parent, const std::exception& error);
void reportUnknownError(UiSeams& ui, QWidget* parent);

// Runs action; on an error shows it and returns false.
template <class Action>
bool guarded(UiSeams& ui, QWidget* parent, Action&& action) noexcept {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const std::exception& e) {
        reportError(ui, parent, e);
    } catch (...) {
        reportUnknownError(ui, parent);
    }
    return false;
}

// Runs action; an error ends it silently. Returns false when it failed.
template <class Action>
bool swallowed(Action&& action) noexcept {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace orv
