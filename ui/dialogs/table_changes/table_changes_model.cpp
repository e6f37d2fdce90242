#include "ui/dialogs/table_changes/table_changes_model.h"

#include "checker/stage.h"
#include "sjis/codec.h"

namespace torvane::ui {
namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TableChangesModel::TableChangesModel(std::vector<checker::TableChange> rows, bool withCounts,
                                     QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)), withCounts_(withCounts) {}

int TableChangesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TableChangesModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return withCounts_ ? OccurrencesColumn + 1 : OccurrencesColumn;
}

QVariant TableChangesModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return {};
  }
  const checker::TableChange& row = rows_[static_cast<std::size_t>(index.row())];
  if (role == Qt::TextAlignmentRole) {
    const Qt::Alignment horizontal = index.column() == OccurrencesColumn ? Qt::AlignRight
                                     : index.column() == CharacterColumn ? Qt::AlignHCenter
                                                                         : Qt::AlignLeft;
    return QVariant::fromValue(horizontal | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case CharacterColumn: return fromUtf8(sjis::toUtf8(row.character));
    case Stage1989Column: return fromUtf8(checker::stageWords(row.stage1989));
    case Stage2020Column: return fromUtf8(checker::stageWords(row.stage2020));
    case OccurrencesColumn: return static_cast<qulonglong>(row.occurrences);
  }
  return {};
}

QVariant TableChangesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case CharacterColumn: return QStringLiteral("文字");
    case Stage1989Column: return QStringLiteral("1989年の表");
    case Stage2020Column: return QStringLiteral("2020年の表");
    case OccurrencesColumn: return withCounts_ ? QVariant(QStringLiteral("回数")) : QVariant();
  }
  return {};
}

QString TableChangesModel::tabSeparatedText() const {
  return fromUtf8(checker::tableChangesText(rows_, withCounts_));
}

}  // namespace torvane::ui
