// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Unit3.h"

#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "skins/skin_folder.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"

namespace zelbo {
namespace {

constexpr int kItemHeight = 13;
constexpr int kSkinNameRole = Qt::UserRole;

// The list's rows are 13 pixels high, as the chooser was designed.
class FixedHeightItems : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight};
  }
};

}  // namespace

TForm3::TForm3(Application& application, TForm1& board_window)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      application_(application),
      board_window_(board_window) {
  setWindowTitle(QStringLiteral("SKIN"));
  setFixedSize(191, 224);
  ListBox1 = new ListBox(this);
  ListBox1->setItemDelegate(new FixedHeightItems(ListBox1));
  ListBox1->setUniformItemSizes(true);
  QFont font = ListBox1->font();
  font.setPixelSize(11);
  ListBox1->setFont(font);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ListBox1);
  ListBox1->on_click = [this] { ListBox1Click(); };
  ListBox1->installEventFilter(this);
  FormCreate();
  WatchRestore(this);
  application.TakeApplicationIcon(this);
}

// The skins are listed once: a skin added later appears after the next start. Each item keeps
// the folder's name as the file system's bytes, which need not be text, and shows it as well as
// it reads.
void TForm3::FormCreate() {
  for (const std::string& name : ListSkins(board_window_.file_places)) {
    const QByteArray bytes = QByteArray::fromStdString(name);
    auto* item = new QListWidgetItem(QFile::decodeName(bytes), ListBox1);
    item->setData(kSkinNameRole, bytes);
  }
}

std::string TForm3::SelectedSkin() const {
  const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
  if (selected.isEmpty()) return {};
  return selected.front()->data(kSkinNameRole).toByteArray().toStdString();
}

// Every click applies the skin, also a click on the skin already chosen: a skin whose bitmap was
// mended is read again so.
void TForm3::ListBox1Click() {
  const std::string skin = SelectedSkin();
  if (!skin.empty()) board_window_.ApplySkin(skin);
}

// F1 answers the question of how to add a skin.
void TForm3::ListBox1KeyDown(int key) {
  if (key == Qt::Key_F1 && board_window_.help() != nullptr) board_window_.help()->ShowHelpTopic(4);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
    ListBox1KeyDown(static_cast<QKeyEvent*>(event)->key());
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zelbo
