// 「判定表の違い」: the characters whose stage differs between the 1989 and the 2020 tables, for
// the text of the upper box or, with no text, every change of the tables; the list can be copied.
#pragma once

#include <QDialog>

#include <vector>

#include "checker/table_changes.h"

class QLabel;
class QTableView;

namespace torvane::ui {

class TableChangesModel;

class TableChangesDialog : public QDialog {
  Q_OBJECT

 public:
  // forText: the rows are the changes of a text (checker::tableChanges), with counts; otherwise
  // every change of the tables (checker::allTableChanges).
  TableChangesDialog(std::vector<checker::TableChange> rows, bool forText,
                     QWidget* parent = nullptr);

  TableChangesModel* model() const { return model_; }

  // The scope line above the list.
  static QString scopeText(std::size_t rows, bool forText);

 private:
  void copyToClipboard();

  TableChangesModel* model_;
  QLabel* scope_;
  QTableView* view_;
};

}  // namespace torvane::ui
