// Dialogs that never block: each box is written down with its caption, and the input and file
// dialogs answer from a script (no value meaning "cancelled").
#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/platform/dialogs.h"

namespace zelbo::testing {

class FakeDialogs : public Dialogs {
 public:
  // "CAPTION: TEXT" for each message box, "error-dialog: TEXT" for the error dialog,
  // "input CAPTION PROMPT VALUE", "open ..." and "save ..." for the others.
  std::vector<std::string> shown;
  // The answers of the input and file dialogs, in order; with none left, they are cancelled.
  void Accept(const QString& text) { answers_.push_back({true, text}); }
  void Cancel() { answers_.push_back({false, QString()}); }
  FileDialogOptions last_file_dialog;

  void ShowMessage(QWidget*, const QString& caption, const QString& text) override {
    shown.push_back((caption + QStringLiteral(": ") + text).toStdString());
  }
  void ShowErrorDialog(QWidget*, const QString& text) override {
    shown.push_back(("error-dialog: " + text).toStdString());
  }
  std::optional<QString> InputQuery(QWidget*, const QString& caption, const QString& prompt,
                                    const QString& value) override {
    shown.push_back(("input " + caption + "|" + prompt + "|" + value).toStdString());
    return Answer();
  }
  std::optional<QString> OpenFileName(QWidget*, const FileDialogOptions& options) override {
    shown.push_back("open " + options.filter.toStdString());
    last_file_dialog = options;
    return Answer();
  }
  std::optional<QString> SaveFileName(QWidget*, const FileDialogOptions& options) override {
    shown.push_back("save " + options.filter.toStdString());
    last_file_dialog = options;
    return Answer();
  }

  std::vector<std::string> Take() { return std::exchange(shown, {}); }

 private:
  struct Scripted {
    bool accepted;
    QString text;
  };

  std::optional<QString> Answer() {
    if (answers_.empty()) return std::nullopt;
    const Scripted answer = answers_.front();
    answers_.pop_front();
    if (!answer.accepted) return std::nullopt;
    return answer.text;
  }

  std::deque<Scripted> answers_;
};

}  // namespace zelbo::testing
