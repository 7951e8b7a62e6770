#pragma once

#include <QComboBox>
#include <QString>

class QSettings;

namespace marquee8 {

// The system's serial ports with their USB descriptions, one of which may be typed in. The port
// last used with a board comes first, whichever task used it, so that the port a receiver was
// installed on is the one a message is then sent to.
class PortChooser : public QComboBox {
  Q_OBJECT

 public:
  PortChooser(QSettings& store, QWidget* parent);

  // The port chosen from the list, or as typed; empty if there is none. It is remembered.
  QString take_port();

 private:
  QSettings& store_;
};

}  // namespace marquee8
