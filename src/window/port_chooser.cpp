#include "port_chooser.h"

#include <QSettings>

#include "board_adapter.h"

namespace marquee8 {
namespace {

const QString kPortKey = QStringLiteral("board/port");

}  // namespace

PortChooser::PortChooser(QSettings& store, QWidget* parent) : QComboBox(parent), store_(store) {
  setObjectName(QStringLiteral("portList"));
  setEditable(true);  // a port the system does not list can be typed in
  setMinimumContentsLength(32);
  for (const BoardPort& port : board_ports()) addItem(port.label, port.name);
  const QString last = store_.value(kPortKey).toString();
  if (last.isEmpty()) return;
  const int known = findData(last);
  if (known >= 0) {
    setCurrentIndex(known);
  } else {
    setEditText(last);
  }
}

QString PortChooser::take_port() {
  const int index = currentIndex();
  const QString port = index >= 0 && itemText(index) == currentText() ? itemData(index).toString()
                                                                      : currentText().trimmed();
  if (!port.isEmpty()) store_.setValue(kPortKey, port);
  return port;
}

}  // namespace marquee8
