#pragma once

// Small control kinds the window needs beyond Qt's own.

#include <QGroupBox>
#include <QLabel>

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

}  // namespace quirmel
