// SPDX-License-Identifier: GPL-3.0-or-later
// The modal dialogs the windows show, behind one interface: the Qt version shows real dialogs,
// the tests answer through a scripted fake.
#pragma once

#include <QString>
#include <optional>

class QFileDialog;
class QWidget;

namespace zelbo {

struct FileDialogOptions {
  QString description;     // the one name the filter shows: "ZELBO FILE"
  QString patterns;        // the names it lists: "*.KRP *.krp"
  QString default_suffix;  // added to a name typed without one
  QString folder;          // where the dialog starts
  bool confirm_overwrite = false;
};

// Every dialog is modal. When one closes, the window under it is painted again where it was
// covered, from what its window holds now, as the platform erases and repaints an uncovered area.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A message box with one OK button.
  void ShowMessage(QWidget* parent, const QString& caption, const QString& text);
  // The error-type dialog with one Yes button; its answer is not used.
  void ShowErrorDialog(QWidget* parent, const QString& text);
  // A text-input dialog; no value when it is cancelled.
  std::optional<QString> InputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                                    const QString& value);
  // The file chosen in an open or save dialog; no value when it is cancelled.
  std::optional<QString> OpenFileName(QWidget* parent, const FileDialogOptions& options);
  std::optional<QString> SaveFileName(QWidget* parent, const FileDialogOptions& options);
  // A question with the buttons Yes and No; true for Yes, false for No or a closed box.
  bool Question(QWidget* parent, const QString& caption, const QString& text);

 protected:
  // The dialogs themselves.
  virtual void RunMessage(QWidget* parent, const QString& caption, const QString& text) = 0;
  virtual void RunErrorDialog(QWidget* parent, const QString& text) = 0;
  virtual std::optional<QString> RunInputQuery(QWidget* parent, const QString& caption,
                                               const QString& prompt, const QString& value) = 0;
  virtual std::optional<QString> RunOpenFileDialog(QWidget* parent,
                                                   const FileDialogOptions& options) = 0;
  virtual std::optional<QString> RunSaveFileDialog(QWidget* parent,
                                                   const FileDialogOptions& options) = 0;
  virtual bool RunQuestion(QWidget* parent, const QString& caption, const QString& text) = 0;
};

class QtDialogs : public Dialogs {
 protected:
  void RunMessage(QWidget* parent, const QString& caption, const QString& text) override;
  void RunErrorDialog(QWidget* parent, const QString& text) override;
  std::optional<QString> RunInputQuery(QWidget* parent, const QString& caption,
                                       const QString& prompt, const QString& value) override;
  std::optional<QString> RunOpenFileDialog(QWidget* parent,
                                           const FileDialogOptions& options) override;
  std::optional<QString> RunSaveFileDialog(QWidget* parent,
                                           const FileDialogOptions& options) override;
  bool RunQuestion(QWidget* parent, const QString& caption, const QString& text) override;
};

// Message texts break lines with a carriage return alone; Qt's labels want line feeds.
QString DisplayedText(const QString& text);

// The file dialog as the windows show it: its filter shows the description alone and lists the
// names of any of the patterns.
void SetUpFileDialog(QFileDialog& dialog, const FileDialogOptions& options);

}  // namespace zelbo
