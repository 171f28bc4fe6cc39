#include "window/seams.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>

#include "window/mapi.h"

namespace quirmel {

WindowSeams WindowSeams::Real() {
  WindowSeams seams;
  seams.showError = [](QWidget* owner, const QString& text) {
    QMessageBox::critical(owner, QStringLiteral("QUIRMEL"), text, QMessageBox::Ok);
  };
  seams.openAddress = ShellOpen;
  const QString filter = QStringLiteral("Text files (*.txt);;All files (*)");
  seams.chooseOpenFile = [filter](QWidget* owner, const QString& caption) {
    return QFileDialog::getOpenFileName(owner, caption, QString(), filter);
  };
  seams.chooseSaveFile = [filter](QWidget* owner, const QString& caption) {
    return QFileDialog::getSaveFileName(owner, caption, QString(), filter);
  };
  seams.setUpPrinter = [](QWidget* owner, QPrinter& printer) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
  };
  seams.recall = [](const QString& key) {
    return QSettings(QStringLiteral("QUIRMEL"), QStringLiteral("QUIRMEL")).value(key);
  };
  seams.remember = [](const QString& key, const QVariant& value) {
    QSettings(QStringLiteral("QUIRMEL"), QStringLiteral("QUIRMEL")).setValue(key, value);
  };
  return seams;
}

}  // namespace quirmel
