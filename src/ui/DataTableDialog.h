// The small window that shows the first rows of a browsed data file as a
// table, with the separator, header row and coordinate columns found there
// marked, and lists to pick the separator and the two columns before the
// run. It only draws a TableChoice and hands the picks to it.
#pragma once

#include <QDialog>
#include <string>

#include "common/DataTable.h"
#include "common/MessageBoxPort.h"
#include "common/TableChoice.h"

class QComboBox;
class QLabel;
class QTableWidget;

namespace utm {

class DataTableDialog : public QDialog {
    Q_OBJECT
  public:
    /// A window over `parent`, not modal; the files it shows are read as
    /// `kind` coordinates with `base`'s fallback and decimal separator. A file
    /// that cannot be read after a pick is said through `messages`.
    DataTableDialog(CoordinateKind kind, const TableRequest& base, MessageBoxPort& messages,
                    QWidget* parent);

    /// Reads the first rows of the file at `path` and shows them. Returns
    /// false, with the window hidden and no file held, when the file cannot be
    /// read or is no text file (the run then says why).
    bool ShowFile(const std::string& path);
    /// Reads the shown file again for `kind` coordinates.
    void SetKind(CoordinateKind kind);
    /// The table request for a run on `path`: the picks when they were made on
    /// that very file, else the base request (the run finds the layout).
    TableRequest RequestFor(const std::string& path) const;

    const TableChoice& Choice() const { return choice_; }

  private:
    /// Fills the lists, the summary and the table from the choice.
    void Refresh();
    void SeparatorPicked(int index);
    /// A column was picked in the first or the second coordinate's list.
    void ColumnPicked(bool firstList, int index);

    TableChoice choice_;
    MessageBoxPort& messages_;
    QLabel* summary_ = nullptr;
    QComboBox* separator_ = nullptr;
    QLabel* firstLabel_ = nullptr;
    QComboBox* first_ = nullptr;
    QLabel* secondLabel_ = nullptr;
    QComboBox* second_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace utm
