// The rows of the reading proposals as a table: the word, its reading (editable), the word with
// the reading of each ruby piece, the latest stage among its red characters, with the readings
// judged why its reading is not yet the class's, how often it occurs, and what becomes of it
// (editable).
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

#include "rewriting/proposal_rows.h"

namespace torvane::ui {

class ReadingsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Word, Reading, Pieces, Stage, Notes, Occurrences, Mode, ColumnCount };
  // The readings to offer for a row (Reading column), as a QStringList.
  static constexpr int ChoicesRole = Qt::UserRole + 1;

  explicit ReadingsModel(std::vector<reading::ProposalRow> rows, QObject* parent = nullptr);

  const std::vector<reading::ProposalRow>& rows() const { return rows_; }

  // The words of a mode as the table shows them.
  static QString modeName(reading::Mode mode);
  // Whether a text may be a reading: kana (hiragana, katakana, ー) or nothing.
  static bool isReading(const QString& text);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Reading: a string, trimmed, of kana or empty (no reading), kept in hiragana, aligned again
  // into pieces and judged again; Mode: a reading::Mode as int.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 private:
  std::vector<reading::ProposalRow> rows_;
};

}  // namespace torvane::ui
