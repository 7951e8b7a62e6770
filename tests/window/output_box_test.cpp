// The output box: a long first line shown in paragraphs, copied as the output's own text.
#include "output_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

namespace marquee8 {
namespace {

constexpr qsizetype kParagraph = OutputBox::kParagraphChars;

// A classic-looking output whose first line holds about `chars` characters.
QString array_text(qsizetype chars) {
  QString values;
  while (values.size() < chars) values += QStringLiteral("127, 8, ");
  return QStringLiteral("byte a[]={") + values + QStringLiteral("0};\r\nint slen= 9;\r\n");
}

QString copied(OutputBox& box, qsizetype from, qsizetype to) {
  QTextCursor cursor(box.document());
  cursor.setPosition(static_cast<int>(from));
  cursor.setPosition(static_cast<int>(to), QTextCursor::KeepAnchor);
  box.setTextCursor(cursor);
  QApplication::clipboard()->clear();
  box.copy();
  return QApplication::clipboard()->text();
}

// Where an index of the output is in the box, which shows each CR LF as one line break.
qsizetype in_box(const QString& output, qsizetype index) {
  return index - output.left(index).count(QStringLiteral("\r\n"));
}

TEST(OutputBox, CopiesTheOutputsOwnCharacters) {
  for (const qsizetype chars : {qsizetype{40}, 3 * kParagraph + 5}) {
    const QString output = array_text(chars);
    const qsizetype cr = output.indexOf(u'\r');
    struct {
      const char* what;
      qsizetype from, to;  // indexes of the output
    } const selections[] = {
        {"all", 0, output.size()},
        {"the length line", output.indexOf(QStringLiteral("int slen")), output.size()},
        {"across the first CR LF", cr - 2, cr + 4},
        {"up to a CR LF, not into it", 0, cr},
        {"across the paragraphs", std::min(cr, kParagraph - 3), std::min(cr, 2 * kParagraph + 9)},
    };
    OutputBox box(QStringLiteral("Text1"), nullptr);
    box.show_output(output);
    for (const auto& [what, from, to] : selections) {
      EXPECT_EQ(copied(box, in_box(output, from), in_box(output, to)), output.mid(from, to - from))
          << what << " of " << chars << " characters";
    }
    EXPECT_EQ(box.text(), output);
  }
}

TEST(OutputBox, ShowsALongLineInParagraphsAndAShortOneAsItIs) {
  OutputBox box(QStringLiteral("Text1"), nullptr);
  box.show_output(array_text(100));
  EXPECT_EQ(box.toPlainText(), QString(array_text(100)).replace(QStringLiteral("\r\n"), "\n"));

  const QString output = array_text(3 * kParagraph);
  box.show_output(output);
  EXPECT_EQ(box.document()->blockCount(), 3 + 3) << "the first line in three, then two lines";
  for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
    EXPECT_LE(block.length(), kParagraph + 8);
  }
  EXPECT_EQ(box.toPlainText().replace(u'\n', u' '),
            QString(output).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
}

// Edit → Copy Output and Save Output As both give the output as converted; a selection of
// the edited box copies what the box shows.
TEST(OutputBox, AnEditByHandIsCopiedFromASelectionOnly) {
  OutputBox box(QStringLiteral("Text1"), nullptr);
  const QString output = array_text(40);
  box.show_output(output);
  EXPECT_FALSE(box.edited());
  box.moveCursor(QTextCursor::End);
  QTest::keyClicks(&box, "// mine");
  EXPECT_TRUE(box.edited());
  EXPECT_EQ(box.text(), output);
  const qsizetype end = box.document()->characterCount() - 1;
  EXPECT_EQ(copied(box, end - 10, end), "9;\n// mine") << "the box's own line break";
  box.show_output(output);
  EXPECT_FALSE(box.edited());
  EXPECT_EQ(copied(box, in_box(output, output.size() - 4), in_box(output, output.size())),
            "9;\r\n");
}

}  // namespace
}  // namespace marquee8
