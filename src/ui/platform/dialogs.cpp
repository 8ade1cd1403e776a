// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/platform/canvas.h"

namespace zelbo {
namespace {

// The window under a closed dialog repaints what the dialog covered.
void RepaintUncovered(QWidget* parent) {
  if (parent == nullptr) return;
  QWidget* window = parent->window();
  for (CanvasWidget* canvas : window->findChildren<CanvasWidget*>()) canvas->Invalidate();
}

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogOptions& options,
                                     QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent);
  SetUpFileDialog(dialog, options);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

}  // namespace

void Dialogs::ShowMessage(QWidget* parent, const QString& caption, const QString& text) {
  RunMessage(parent, caption, text);
  RepaintUncovered(parent);
}

void Dialogs::ShowErrorDialog(QWidget* parent, const QString& text) {
  RunErrorDialog(parent, text);
  RepaintUncovered(parent);
}

std::optional<QString> Dialogs::InputQuery(QWidget* parent, const QString& caption,
                                           const QString& prompt, const QString& value) {
  auto answer = RunInputQuery(parent, caption, prompt, value);
  RepaintUncovered(parent);
  return answer;
}

std::optional<QString> Dialogs::OpenFileName(QWidget* parent, const FileDialogOptions& options) {
  auto answer = RunOpenFileDialog(parent, options);
  RepaintUncovered(parent);
  return answer;
}

std::optional<QString> Dialogs::SaveFileName(QWidget* parent, const FileDialogOptions& options) {
  auto answer = RunSaveFileDialog(parent, options);
  RepaintUncovered(parent);
  return answer;
}

bool Dialogs::Question(QWidget* parent, const QString& caption, const QString& text) {
  const bool yes = RunQuestion(parent, caption, text);
  RepaintUncovered(parent);
  return yes;
}

QString DisplayedText(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

void SetUpFileDialog(QFileDialog& dialog, const FileDialogOptions& options) {
  if (!options.folder.isEmpty()) dialog.setDirectory(options.folder);
  dialog.setNameFilter(options.description + QStringLiteral(" (") + options.patterns +
                       QStringLiteral(")"));
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setDefaultSuffix(options.default_suffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirm_overwrite);
}

void QtDialogs::RunMessage(QWidget* parent, const QString& caption, const QString& text) {
  // A caption is one line: the line breaks of a question are left out of it.
  const QString one_line = QString(caption).remove('\r').remove('\n');
  QMessageBox box(QMessageBox::NoIcon, one_line, DisplayedText(text), QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtDialogs::RunErrorDialog(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Erreur"), DisplayedText(text),
                  QMessageBox::Yes, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

// No is the default: a question answered by a stray Enter changes nothing.
bool QtDialogs::RunQuestion(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Question, caption, DisplayedText(text),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::RunInputQuery(QWidget* parent, const QString& caption,
                                                const QString& prompt, const QString& value) {
  bool ok = false;
  QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
  if (!ok) return std::nullopt;
  return text;
}

std::optional<QString> QtDialogs::RunOpenFileDialog(QWidget* parent,
                                                    const FileDialogOptions& options) {
  return RunFileDialog(parent, options, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::RunSaveFileDialog(QWidget* parent,
                                                    const FileDialogOptions& options) {
  return RunFileDialog(parent, options, QFileDialog::AcceptSave);
}

}  // namespace zelbo
