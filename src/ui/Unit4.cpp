// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Unit4.h"

#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "help/answers.h"
#include "help/help_text.h"

namespace zelbo {
namespace {

constexpr int kItemHeight = 20;
constexpr int kFontPoints = 12;

QString Question(std::size_t n) {
  if (n >= kHelpQuestions.size()) return {};
  const std::string_view text = kHelpQuestions[n];
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TForm4::TForm4(Application& application, const std::filesystem::path& files_folder)
    : QWidget(nullptr, Qt::Window), application_(application) {
  setWindowTitle(QStringLiteral("HELP"));
  resize(342, 210);
  ListBox1 = new ListBox(this);
  ListBox1->setFrameShape(QFrame::NoFrame);
  ListBox1->setStyleSheet(QStringLiteral("QListWidget { background: navy; color: yellow; }"));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(16);
  font.setBold(true);
  ListBox1->setFont(font);
  ListBox1->setUniformItemSizes(true);
  for (std::size_t n = 0; n < kHelpQuestions.size(); ++n) {
    // The list shows the question on one line; its caption keeps every character.
    auto* item = new QListWidgetItem(Question(n).remove('\r').remove('\n'), ListBox1);
    item->setSizeHint(QSize(0, kItemHeight));
  }
  ListBox1->on_click = [this] { ListBox1Click(); };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ListBox1);
  FormCreate(files_folder);
  WatchRestore(this);
  application.TakeApplicationIcon(this);
}

void TForm4::FormCreate(const std::filesystem::path& files_folder) {
  AnswersText answers = LoadAnswers(files_folder);
  Memo1 = std::move(answers.lines);
  if (answers.failure) {
    application_.ShowMessage(this, QString::fromStdString(*answers.failure));
    return;  // the window keeps its designed size
  }
  const auto count = static_cast<int>(kHelpQuestions.size());
  resize(size().width(), (count + 2) * kItemHeight);
  std::size_t longest = 0;
  for (std::size_t n = 0; n < kHelpQuestions.size(); ++n) {
    longest = std::max(longest, static_cast<std::size_t>(Question(n).size()));
  }
  resize(kFontPoints * (static_cast<int>(longest) - 2), height());
}

void TForm4::ListBox1Click() {
  const int row = ListBox1->currentRow();
  if (row >= 0) ShowHelpTopic(static_cast<uint8_t>(row));
}

void TForm4::ShowHelpTopic(uint8_t n) {
  const QString previous = application_.title();
  application_.SetTitle(Question(n));
  application_.ShowMessage(this, QString::fromStdString(HelpAnswer(Memo1, n)));
  application_.SetTitle(previous);
}

}  // namespace zelbo
