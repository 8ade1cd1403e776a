// The modal dialogs the windows show, behind one interface: the Qt version shows real dialogs,
// the tests answer through a scripted fake.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace zelbo {

struct FileDialogOptions {
  QString filter;          // "ZELBO FILE (*.KRP)"
  QString default_suffix;  // added to a name typed without one
  QString folder;          // where the dialog starts
  bool confirm_overwrite = false;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A message box with one OK button.
  virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text) = 0;
  // The error-type dialog with one Yes button; its answer is not used.
  virtual void ShowErrorDialog(QWidget* parent, const QString& text) = 0;
  // A text-input dialog; no value when it is cancelled.
  virtual std::optional<QString> InputQuery(QWidget* parent, const QString& caption,
                                            const QString& prompt, const QString& value) = 0;
  // The file chosen in an open or save dialog; no value when it is cancelled.
  virtual std::optional<QString> OpenFileName(QWidget* parent,
                                              const FileDialogOptions& options) = 0;
  virtual std::optional<QString> SaveFileName(QWidget* parent,
                                              const FileDialogOptions& options) = 0;
};

class QtDialogs : public Dialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& caption, const QString& text) override;
  void ShowErrorDialog(QWidget* parent, const QString& text) override;
  std::optional<QString> InputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                                    const QString& value) override;
  std::optional<QString> OpenFileName(QWidget* parent, const FileDialogOptions& options) override;
  std::optional<QString> SaveFileName(QWidget* parent, const FileDialogOptions& options) override;
};

// Message texts break lines with a carriage return alone; Qt's labels want line feeds.
QString DisplayedText(const QString& text);

}  // namespace zelbo
