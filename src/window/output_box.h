#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <vector>

namespace marquee8 {

// txtoutput: the declarations, whose first line can run to megabytes. Qt lays out a paragraph
// whole, which freezes the window for seconds on such a line, so a long output is shown as
// paragraphs of about kParagraphChars, each ending where a space between two values was.
// Copying or dragging a selection gives the output's own characters (those spaces, CR LF), and
// text() the whole output, until the user edits the box by hand.
class OutputBox : public QPlainTextEdit {
 public:
  static constexpr qsizetype kParagraphChars = 256 * 1024;

  OutputBox(const QString& text, QWidget* parent);

  void show_output(const QString& output);
  QString text() const;

 protected:
  QMimeData* createMimeDataFromSelection() const override;

 private:
  // The output's index of a position in the box, which has one character less for each CR LF.
  qsizetype output_index(qsizetype position) const;

  QString output_;                              // empty while the box shows anything else
  std::vector<qsizetype> line_feeds_after_cr_;  // their positions in the box
};

}  // namespace marquee8
