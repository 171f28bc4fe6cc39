#pragma once

// Small control kinds the window needs beyond Qt's own.

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>

namespace quirmel {

// A label that reports clicks and pointer moves over it.
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void clicked();
  void pointerMoved();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
};

// A captionless frame. Pointer moves over it or over the controls it holds end here, so the
// window sees only moves over its own bare surface.
class Frame : public QGroupBox {
  Q_OBJECT
 public:
  explicit Frame(QWidget* parent);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  // An etched border on the window's own grey, as a captionless frame has it.
  void paintEvent(QPaintEvent* event) override;
};

// A multi-line text box that takes a paste or a drop only when it brings something. Qt 6.4 hands
// the text box a null clipboard when no program owns the clipboard or the selection (a fresh
// session, or after the program that copied has quit), and its own insertion then dereferences it.
class TextArea : public QPlainTextEdit {
  Q_OBJECT
 public:
  using QPlainTextEdit::QPlainTextEdit;

  // Whether `source` brings anything to insert; a null source brings nothing.
  static bool Brings(const QMimeData* source);

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
};

}  // namespace quirmel
