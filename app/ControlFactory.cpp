// The makers of menu bars and keys.
#include "app/ControlFactory.h"

#include <QAction>
#include <QMenuBar>
#include <QShortcut>

namespace zorvik {

void PrepareMenuBar(QMenuBar* bar) {
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setNativeMenuBar(false);
}

QShortcut* MakeShortcut(QWidget* window, const QKeySequence& keys) {
    return new QShortcut(keys, window);
}

void AddShortcut(QWidget* window, const QKeySequence& keys, QAction* item) {
    QObject::connect(MakeShortcut(window, keys), &QShortcut::activated, item, &QAction::trigger);
}

}  // namespace zorvik
