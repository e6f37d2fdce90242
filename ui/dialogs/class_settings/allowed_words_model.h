// The allowed words as the class settings dialog lists them: each word with how often it occurs
// in the text of the upper box.
#pragma once

#include <QAbstractTableModel>

#include <optional>
#include <string>
#include <vector>

namespace torvane::ui {

class AllowedWordsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { WordColumn, CountColumn, ColumnCount };

  explicit AllowedWordsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // New words; their counts are unknown until setCounts gives them.
  void setWords(std::vector<std::string> words);
  // The counts of the words as they stand (by position); ignored when the words have changed
  // since they were counted.
  void setCounts(const std::vector<std::string>& counted, std::vector<std::size_t> counts);
  const std::vector<std::string>& words() const { return words_; }
  std::optional<std::size_t> count(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<std::string> words_;
  std::vector<std::optional<std::size_t>> counts_;
};

}  // namespace torvane::ui
