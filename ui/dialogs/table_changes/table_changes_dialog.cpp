#include "ui/dialogs/table_changes/table_changes_dialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/look/fonts.h"
#include "ui/dialogs/table_changes/table_changes_model.h"

namespace torvane::ui {

TableChangesDialog::TableChangesDialog(std::vector<checker::TableChange> rows, bool forText,
                                       QWidget* parent)
    : QDialog(parent),
      model_(new TableChangesModel(std::move(rows), forText, this)),
      scope_(new QLabel(this)),
      view_(new QTableView(this)) {
  setObjectName(QStringLiteral("TableChangesDialog"));
  setWindowTitle(QStringLiteral("判定表の違い"));
  setFont(japaneseFont(kProportionalGothic, 14));

  scope_->setObjectName(QStringLiteral("TableChangesScope"));
  scope_->setText(scopeText(static_cast<std::size_t>(model_->rowCount()), forText));
  scope_->setWordWrap(true);

  view_->setObjectName(QStringLiteral("TableChangesView"));
  view_->setModel(model_);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setAlternatingRowColors(true);
  view_->verticalHeader()->hide();
  // The two stage columns share the width; the character and the count take what they need.
  QHeaderView* header = view_->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::ResizeToContents);
  header->setSectionResizeMode(TableChangesModel::Stage1989Column, QHeaderView::Stretch);
  header->setSectionResizeMode(TableChangesModel::Stage2020Column, QHeaderView::Stretch);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* copy = buttons->addButton(QStringLiteral("コピー"), QDialogButtonBox::ActionRole);
  copy->setObjectName(QStringLiteral("CopyButton"));
  copy->setEnabled(model_->rowCount() > 0);
  QPushButton* close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
  close->setObjectName(QStringLiteral("CloseButton"));
  close->setDefault(true);
  connect(copy, &QPushButton::clicked, this, &TableChangesDialog::copyToClipboard);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scope_);
  layout->addWidget(view_, 1);
  layout->addWidget(buttons);
  resize(560, 480);
}

QString TableChangesDialog::scopeText(std::size_t rows, bool forText) {
  if (!forText) {
    return QStringLiteral("1989年の表と2020年の表とで段階の違う文字は、全部で %1 字です。")
        .arg(rows);
  }
  if (rows == 0) {
    return QStringLiteral(
        "上の欄の文章には、1989年の表と2020年の表とで段階の違う文字はありません。");
  }
  return QStringLiteral("上の欄の文章のうち、1989年の表と2020年の表とで段階の違う文字: %1 種")
      .arg(rows);
}

void TableChangesDialog::copyToClipboard() {
  QGuiApplication::clipboard()->setText(model_->tabSeparatedText());
}

}  // namespace torvane::ui
