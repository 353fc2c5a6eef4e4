#pragma once
// A window's parts by their fixed names, as tests reach them.

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace orv::test {

// The child of window named name; ends the test run when there is none, which is a fault of the window.
template <class Part = QWidget>
Part* part(const QObject* window, const char* name) {
    Part* found = window->findChild<Part*>(QString::fromLatin1(name));
    if (!found) qFatal("%s has no part %s", window->metaObject()->className(), name);
    return found;
}

}  // namespace orv::test
