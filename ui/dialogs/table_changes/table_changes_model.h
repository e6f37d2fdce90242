// The rows of the table-changes dialog: one character per row, its stage in each set of tables in
// the report's words and, for a text, how often it occurs.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "checker/table_changes.h"

namespace torvane::ui {

class TableChangesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { CharacterColumn, Stage1989Column, Stage2020Column, OccurrencesColumn };

  // withCounts: the rows come from a text and carry counts; otherwise the count column is absent.
  TableChangesModel(std::vector<checker::TableChange> rows, bool withCounts,
                    QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  bool withCounts() const { return withCounts_; }
  // The rows as the clipboard gets them: tab-separated, a header line first.
  QString tabSeparatedText() const;

 private:
  std::vector<checker::TableChange> rows_;
  bool withCounts_;
};

}  // namespace torvane::ui
