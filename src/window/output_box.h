#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <vector>

namespace marquee8 {

// txtoutput: the declarations, whose first line can run to megabytes. Qt lays out a paragraph
// whole, which freezes the window for seconds on such a line, so a long output is shown as
// paragraphs of about kParagraphChars, each ending where a space between two values was.
// Copying or dragging a selection gives the output's own characters (those spaces, CR LF) until
// the user edits the box by hand, and then what the box shows. text() is always the output as
// converted, what Save Output As writes: an edit by hand is the user's own, for a selection.
class OutputBox : public QPlainTextEdit {
 public:
  static constexpr qsizetype kParagraphChars = 256 * 1024;

  OutputBox(const QString& text, QWidget* parent);

  void show_output(const QString& output);
  QString text() const;
  bool edited() const { return edited_; }  // by hand, since the output was shown

 protected:
  QMimeData* createMimeDataFromSelection() const override;

 private:
  // The output's index of a position in the box, which has one character less for each CR LF.
  qsizetype output_index(qsizetype position) const;

  QString output_;  // null before the first output
  bool showing_ = false;
  bool edited_ = false;
  std::vector<qsizetype> line_feeds_after_cr_;  // their positions in the box
};

}  // namespace marquee8
