#include "ui/dialogs/class_settings/allowed_words_model.h"

namespace torvane::ui {

void AllowedWordsModel::setWords(std::vector<std::string> words) {
  if (words == words_) return;
  beginResetModel();
  words_ = std::move(words);
  counts_.assign(words_.size(), std::nullopt);
  endResetModel();
}

void AllowedWordsModel::setCounts(const std::vector<std::string>& counted,
                                  std::vector<std::size_t> counts) {
  if (counted != words_ || counts.size() != words_.size()) return;
  for (std::size_t i = 0; i < counts.size(); ++i) counts_[i] = counts[i];
  if (!words_.empty()) {
    Q_EMIT dataChanged(index(0, CountColumn), index(rowCount() - 1, CountColumn));
  }
}

std::optional<std::size_t> AllowedWordsModel::count(int row) const {
  return counts_.at(static_cast<std::size_t>(row));
}

int AllowedWordsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(words_.size());
}

int AllowedWordsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant AllowedWordsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (index.column() == WordColumn) return QString::fromStdString(words_[row]);
  if (!counts_[row]) return QStringLiteral("…");  // being counted
  return QStringLiteral("%1 箇所").arg(*counts_[row]);
}

QVariant AllowedWordsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section == WordColumn ? QStringLiteral("許可語") : QStringLiteral("文章中");
}

}  // namespace torvane::ui
