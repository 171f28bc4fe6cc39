#include "window/controls.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace quirmel {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
  event->accept();
}

void ClickLabel::mouseMoveEvent(QMouseEvent* event) {
  emit pointerMoved();
  event->accept();
}

Frame::Frame(QWidget* parent) : QGroupBox(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

void Frame::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
}

void Frame::paintEvent(QPaintEvent* /*event*/) {
  // The border's top sits half a caption line down, where an empty caption would be.
  const QRect border = rect().adjusted(0, 6, -2, -2);
  QPainter painter(this);
  painter.setPen(QColor("#808080"));
  painter.drawRect(border);
  painter.setPen(QColor("#FFFFFF"));
  painter.drawRect(border.translated(1, 1));
}

bool TextArea::Brings(const QMimeData* source) {
  return source != nullptr && !source->formats().isEmpty();
}

// A dragged file is not text for the box: the window opens it as a wheel.
void TextArea::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData() != nullptr && event->mimeData()->hasUrls()) {
    event->ignore();
    return;
  }
  QPlainTextEdit::dragEnterEvent(event);
}

bool TextArea::canInsertFromMimeData(const QMimeData* source) const {
  return Brings(source) && QPlainTextEdit::canInsertFromMimeData(source);
}

void TextArea::insertFromMimeData(const QMimeData* source) {
  if (Brings(source)) QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace quirmel
