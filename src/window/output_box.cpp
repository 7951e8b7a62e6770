#include "output_box.h"

#include <QMimeData>
#include <QTextCursor>
#include <algorithm>

namespace marquee8 {

OutputBox::OutputBox(const QString& text, QWidget* parent) : QPlainTextEdit(text, parent) {
  // The first line holds thousands of comma-separated values; wrapping at their spaces keeps
  // all of it readable without scrolling sideways.
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  // Tab moves on through the tab order, as in the input box, instead of typing a tab.
  setTabChangesFocus(true);
  connect(document(), &QTextDocument::contentsChanged, this, [this] {
    if (!showing_) edited_ = true;
  });
}

void OutputBox::show_output(const QString& output) {
  QString shown;
  shown.reserve(output.size());
  std::vector<qsizetype> line_feeds_after_cr;
  qsizetype paragraph = 0;
  for (qsizetype i = 0; i < output.size(); ++i) {
    QChar c = output[i];
    if (c == u'\r' && i + 1 < output.size() && output[i + 1] == u'\n') {
      line_feeds_after_cr.push_back(shown.size());
      continue;
    }
    if (c == u'\n') {
      paragraph = 0;
    } else if (c == u' ' && paragraph >= kParagraphChars) {
      c = u'\n';
      paragraph = 0;
    } else {
      ++paragraph;
    }
    shown.append(c);
  }
  showing_ = true;
  setPlainText(shown);
  showing_ = false;
  output_ = output;
  // Should Qt have changed the text's length after all, selections copy the box's own text.
  edited_ = document()->characterCount() - 1 != shown.size();
  line_feeds_after_cr_ = std::move(line_feeds_after_cr);
}

QString OutputBox::text() const { return output_.isNull() ? toPlainText() : output_; }

qsizetype OutputBox::output_index(qsizetype position) const {
  return position +
         (std::lower_bound(line_feeds_after_cr_.begin(), line_feeds_after_cr_.end(), position) -
          line_feeds_after_cr_.begin());
}

QMimeData* OutputBox::createMimeDataFromSelection() const {
  if (output_.isNull() || edited_) return QPlainTextEdit::createMimeDataFromSelection();
  const QTextCursor selection = textCursor();
  const qsizetype from = output_index(selection.selectionStart());
  auto* data = new QMimeData;
  data->setText(output_.mid(from, output_index(selection.selectionEnd()) - from));
  return data;
}

}  // namespace marquee8
