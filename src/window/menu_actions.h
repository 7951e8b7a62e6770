#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QString>

namespace marquee8 {

// A menu item with an object name, so that tests and scripts find it as a user would.
inline QAction* add_action(QMenu* menu, const QString& text, const char* name,
                           const QKeySequence& shortcut = {}) {
  QAction* added = menu->addAction(text);
  added->setObjectName(QString::fromLatin1(name));
  added->setShortcut(shortcut);
  return added;
}

}  // namespace marquee8
