#include "ui/dialogs/readings/readings_model.h"

#include <QColor>

#include "reading/kana.h"
#include "rewriting/box_reading_notes.h"

namespace torvane::ui {
namespace {

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The reasons of a row's notes, one for each noted kanji.
QStringList noteReasons(const reading::ProposalRow& row) {
  QStringList reasons;
  for (const reading::ReadingNote& note : row.notes) reasons << fromUtf8(reading::noteReason(note));
  return reasons;
}

}  // namespace

ReadingsModel::ReadingsModel(std::vector<reading::ProposalRow> rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)) {}

QString ReadingsModel::modeName(reading::Mode mode) {
  switch (mode) {
    case reading::Mode::Kana: return QStringLiteral("ひらがなにする");
    case reading::Mode::Ruby: return QStringLiteral("ルビを付ける");
    case reading::Mode::RubyUnlearnt: return QStringLiteral("習っていない字だけルビ");
    case reading::Mode::Keep: break;
  }
  return QStringLiteral("そのまま");
}

bool ReadingsModel::isReading(const QString& text) {
  return text.isEmpty() || reading::isAllKana(text.toStdString());
}

int ReadingsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReadingsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant ReadingsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const reading::ProposalRow& row = rows_[static_cast<std::size_t>(index.row())];
  const bool unknown = index.column() == Reading && row.reading.empty();
  if (role == Qt::DisplayRole) {
    switch (index.column()) {
      case Word: return fromUtf8(row.word);
      case Reading:
        return unknown ? QStringLiteral("（読みがわかりません）") : fromUtf8(row.reading);
      case Pieces: return fromUtf8(reading::withPieceReadings(row));
      case Stage: return fromUtf8(std::string(reading::stageWords(row.hardest)));
      case Notes: return noteReasons(row).join(QStringLiteral("、"));
      case Occurrences: return static_cast<qulonglong>(row.occurrences.size());
      case Mode: return modeName(row.mode);
    }
  }
  if (role == Qt::EditRole) {
    if (index.column() == Reading) return fromUtf8(row.reading);
    if (index.column() == Mode) return static_cast<int>(row.mode);
  }
  if (role == ChoicesRole && index.column() == Reading) {
    QStringList choices;
    for (const std::string& choice : row.choices) choices << fromUtf8(choice);
    return choices;
  }
  if (role == Qt::ToolTipRole && index.column() == Notes && !row.notes.empty())
    return noteReasons(row).join(QLatin1Char('\n'));
  if (role == Qt::ForegroundRole && unknown) return QColor(128, 128, 128);
  if (role == Qt::TextAlignmentRole && index.column() == Occurrences)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant ReadingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  switch (section) {
    case Word: return QStringLiteral("語");
    case Reading: return QStringLiteral("読み");
    case Pieces: return QStringLiteral("ルビの付き方");
    case Stage: return QStringLiteral("いちばん遅く習う字");
    case Notes: return QStringLiteral("読み方の注意");
    case Occurrences: return QStringLiteral("回数");
    case Mode: return QStringLiteral("書き換え");
  }
  return {};
}

Qt::ItemFlags ReadingsModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.column() == Reading || index.column() == Mode) flags |= Qt::ItemIsEditable;
  return flags;
}

bool ReadingsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.row() >= rowCount()) return false;
  reading::ProposalRow& row = rows_[static_cast<std::size_t>(index.row())];
  if (index.column() == Reading) {
    // The reading is written between 《 and 》: ｜, 《 or 》 in it would break the ruby.
    const QString reading = value.toString().trimmed();
    if (!isReading(reading)) return false;
    reading::setReading(row, reading::toHiragana(reading.toStdString()));
    Q_EMIT dataChanged(index, this->index(index.row(), Notes));
    return true;
  } else if (index.column() == Mode) {
    bool ok = false;
    const int mode = value.toInt(&ok);
    if (!ok || mode < static_cast<int>(reading::Mode::Kana) ||
        mode > static_cast<int>(reading::Mode::Keep))
      return false;
    row.mode = static_cast<reading::Mode>(mode);
  } else {
    return false;
  }
  Q_EMIT dataChanged(index, index);
  return true;
}

}  // namespace torvane::ui
