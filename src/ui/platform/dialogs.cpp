#include "ui/platform/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace zelbo {

QString DisplayedText(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

void QtDialogs::ShowMessage(QWidget* parent, const QString& caption, const QString& text) {
  // A caption is one line: the line breaks of a question are left out of it.
  const QString one_line = QString(caption).remove('\r').remove('\n');
  QMessageBox box(QMessageBox::NoIcon, one_line, DisplayedText(text), QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtDialogs::ShowErrorDialog(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Erreur"), DisplayedText(text),
                  QMessageBox::Yes, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

std::optional<QString> QtDialogs::InputQuery(QWidget* parent, const QString& caption,
                                             const QString& prompt, const QString& value) {
  bool ok = false;
  QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
  if (!ok) return std::nullopt;
  return text;
}

namespace {

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogOptions& options,
                                     QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, QString(), options.folder, options.filter);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setDefaultSuffix(options.default_suffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirm_overwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

}  // namespace

std::optional<QString> QtDialogs::OpenFileName(QWidget* parent, const FileDialogOptions& options) {
  return RunFileDialog(parent, options, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::SaveFileName(QWidget* parent, const FileDialogOptions& options) {
  return RunFileDialog(parent, options, QFileDialog::AcceptSave);
}

}  // namespace zelbo
