// SPDX-License-Identifier: GPL-3.0-or-later
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
  // "input CAPTION PROMPT VALUE", "open ...", "save ..." and "question CAPTION: TEXT" for the
  // others.
  std::vector<std::string> shown;
  // The window each of them was shown over.
  std::vector<QWidget*> parents;
  // The answers of the input, file and question dialogs, in order; with none left, they are
  // cancelled (a question is answered No). A question takes Accept as Yes.
  void Accept(const QString& text) { answers_.push_back({true, text}); }
  void Cancel() { answers_.push_back({false, QString()}); }
  FileDialogOptions last_file_dialog;

  std::vector<std::string> Take() {
    parents.clear();
    return std::exchange(shown, {});
  }

 protected:
  void RunMessage(QWidget* parent, const QString& caption, const QString& text) override {
    Record(parent, caption + QStringLiteral(": ") + text);
  }
  void RunErrorDialog(QWidget* parent, const QString& text) override {
    Record(parent, "error-dialog: " + text);
  }
  std::optional<QString> RunInputQuery(QWidget* parent, const QString& caption,
                                       const QString& prompt, const QString& value) override {
    Record(parent, "input " + caption + "|" + prompt + "|" + value);
    return Answer();
  }
  std::optional<QString> RunOpenFileDialog(QWidget* parent,
                                           const FileDialogOptions& options) override {
    Record(parent, "open " + Filter(options));
    last_file_dialog = options;
    return Answer();
  }
  std::optional<QString> RunSaveFileDialog(QWidget* parent,
                                           const FileDialogOptions& options) override {
    Record(parent, "save " + Filter(options));
    last_file_dialog = options;
    return Answer();
  }
  bool RunQuestion(QWidget* parent, const QString& caption, const QString& text) override {
    Record(parent, "question " + caption + ": " + text);
    return Answer().has_value();
  }

 private:
  struct Scripted {
    bool accepted;
    QString text;
  };

  static QString Filter(const FileDialogOptions& options) {
    return options.description + " (" + options.patterns + ")";
  }
  void Record(QWidget* parent, const QString& text) {
    shown.push_back(text.toStdString());
    parents.push_back(parent);
  }

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
