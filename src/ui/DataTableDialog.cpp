#include "ui/DataTableDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/OperationError.h"
#include "ui/WindowBasics.h"

namespace utm {

namespace {

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// The captions of the two column lists for a kind of coordinates.
std::pair<QString, QString> ColumnCaptions(CoordinateKind kind) {
    if (kind == CoordinateKind::LatLong) {
        return {QStringLiteral("Latitude column :"), QStringLiteral("Longitude column :")};
    }
    return {QStringLiteral("X (Easting) column :"), QStringLiteral("Y (Northing) column :")};
}

/// The short mark of a coordinate column in the table's column header.
QString ColumnMark(CoordinateKind kind, bool first) {
    if (kind == CoordinateKind::LatLong)
        return first ? QStringLiteral("Lat") : QStringLiteral("Long");
    return first ? QStringLiteral("X") : QStringLiteral("Y");
}

}  // namespace

DataTableDialog::DataTableDialog(CoordinateKind kind, const TableRequest& base,
                                 MessageBoxPort& messages, QWidget* parent)
    : QDialog(parent), choice_(kind, base), messages_(messages) {
    setObjectName(QStringLiteral("DataTableDialog"));
    setWindowTitle(QStringLiteral("Data file"));
    setModal(false);
    UseAppIcon(*this);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("Summary"));
    summary_->setWordWrap(true);

    auto* separatorLabel = new QLabel(QStringLiteral("&Separator :"), this);
    separator_ = new QComboBox(this);
    separator_->setObjectName(QStringLiteral("Separator"));
    for (FieldSeparator s : kFieldSeparators) separator_->addItem(Utf8(SeparatorCaption(s)));
    separatorLabel->setBuddy(separator_);
    firstLabel_ = new QLabel(this);
    first_ = new QComboBox(this);
    first_->setObjectName(QStringLiteral("FirstColumn"));
    firstLabel_->setBuddy(first_);
    secondLabel_ = new QLabel(this);
    second_ = new QComboBox(this);
    second_->setObjectName(QStringLiteral("SecondColumn"));
    secondLabel_->setBuddy(second_);

    auto* picks = new QGridLayout;
    picks->addWidget(separatorLabel, 0, 0);
    picks->addWidget(separator_, 0, 1);
    picks->addWidget(firstLabel_, 1, 0);
    picks->addWidget(first_, 1, 1);
    picks->addWidget(secondLabel_, 2, 0);
    picks->addWidget(second_, 2, 1);
    picks->setColumnStretch(2, 1);

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("Preview"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addLayout(picks);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    // About 87 characters by 24 lines of the window's font (520 by 330 pixels
    // in a 9-point font), so that a larger font shows as many rows; the
    // layout keeps it from being made smaller than its parts.
    const QFontMetrics metrics(font());
    resize(QSize(metrics.averageCharWidth() * 87, metrics.lineSpacing() * 24)
               .expandedTo(minimumSizeHint()));

    connect(separator_, &QComboBox::activated, this, &DataTableDialog::SeparatorPicked);
    connect(first_, &QComboBox::activated, this, [this](int index) { ColumnPicked(true, index); });
    connect(second_, &QComboBox::activated, this,
            [this](int index) { ColumnPicked(false, index); });
    Refresh();
}

bool DataTableDialog::ShowFile(const std::string& path) {
    try {
        choice_.Load(path);
    } catch (const OperationError&) {
        Refresh();
        hide();
        return false;
    }
    setWindowTitle(QStringLiteral("Data file: ") + QFileInfo(Utf8(path)).fileName());
    Refresh();
    show();
    raise();
    return true;
}

void DataTableDialog::SetKind(CoordinateKind kind) {
    try {
        choice_.SetKind(kind);
    } catch (const OperationError&) {
        choice_.Clear();  // the file went away: the run says so
        hide();
    }
    Refresh();
}

TableRequest DataTableDialog::RequestFor(const std::string& path) const {
    if (!choice_.Loaded() || choice_.Path() != path) {
        TableChoice none(choice_.Kind(), choice_.Request());
        return none.Request();
    }
    return choice_.Request();
}

void DataTableDialog::SeparatorPicked(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kFieldSeparators))) return;
    try {
        choice_.ChooseSeparator(kFieldSeparators[index]);
    } catch (const OperationError& e) {
        messages_.Inform(e.what());
    }
    Refresh();
}

void DataTableDialog::ColumnPicked(bool firstList, int index) {
    if (index < 0) return;
    // Picking the other coordinate's column swaps the two.
    std::size_t first = choice_.FirstColumn();
    std::size_t second = choice_.SecondColumn();
    const auto picked = static_cast<std::size_t>(index);
    if (firstList) {
        if (picked == second) second = first;
        first = picked;
    } else {
        if (picked == first) first = second;
        second = picked;
    }
    try {
        choice_.ChooseColumns(first, second);
    } catch (const OperationError& e) {
        messages_.Inform(e.what());
    }
    Refresh();
}

void DataTableDialog::Refresh() {
    const auto [firstCaption, secondCaption] = ColumnCaptions(choice_.Kind());
    firstLabel_->setText(firstCaption);
    secondLabel_->setText(secondCaption);
    summary_->setText(Utf8(choice_.Summary()));
    const bool loaded = choice_.Loaded();
    for (QComboBox* list : {separator_, first_, second_}) list->setEnabled(loaded);

    const QSignalBlocker blockSeparator(separator_);
    const QSignalBlocker blockFirst(first_);
    const QSignalBlocker blockSecond(second_);
    first_->clear();
    second_->clear();
    table_->clear();
    table_->setRowCount(0);
    table_->setColumnCount(0);
    if (!loaded) return;

    for (std::size_t i = 0; i < std::size(kFieldSeparators); ++i) {
        if (kFieldSeparators[i] == choice_.Separator())
            separator_->setCurrentIndex(static_cast<int>(i));
    }
    const std::size_t columns = choice_.ColumnCount();
    for (std::size_t c = 0; c < columns; ++c) {
        first_->addItem(Utf8(choice_.ColumnCaption(c)));
        second_->addItem(Utf8(choice_.ColumnCaption(c)));
    }
    first_->setCurrentIndex(static_cast<int>(choice_.FirstColumn()));
    second_->setCurrentIndex(static_cast<int>(choice_.SecondColumn()));

    // The table: one row per line shown, the line numbers at the left, the
    // column captions on top with the two coordinate columns marked.
    const TablePreview& preview = choice_.Preview();
    table_->setColumnCount(static_cast<int>(columns));
    table_->setRowCount(static_cast<int>(preview.rows.size()));
    QStringList captions;
    for (std::size_t c = 0; c < columns; ++c) {
        QString caption = Utf8(choice_.ColumnCaption(c));
        if (c == choice_.FirstColumn())
            caption += QStringLiteral("\n▶ ") + ColumnMark(choice_.Kind(), true);
        if (c == choice_.SecondColumn())
            caption += QStringLiteral("\n▶ ") + ColumnMark(choice_.Kind(), false);
        captions << caption;
    }
    table_->setHorizontalHeaderLabels(captions);
    QStringList lines;
    for (std::size_t r = 0; r < preview.rows.size(); ++r) lines << QString::number(r + 1);
    table_->setVerticalHeaderLabels(lines);

    const QColor coordinate(0xd6, 0xe9, 0xff);
    const QColor header(0xe8, 0xe8, 0xe8);
    const QColor quiet(0x80, 0x80, 0x80);
    for (std::size_t r = 0; r < preview.rows.size(); ++r) {
        const std::vector<std::string>& fields = preview.rows[r];
        const int row = static_cast<int>(r);
        const PreviewCell rowKind = choice_.CellKind(r, 0);
        if (rowKind == PreviewCell::Comment || rowKind == PreviewCell::Blank) {
            // A comment shows whole across the row; a blank line stays empty.
            auto* item = new QTableWidgetItem(fields.empty() ? QString() : Utf8(fields.front()));
            item->setForeground(quiet);
            QFont italic = item->font();
            italic.setItalic(true);
            item->setFont(italic);
            if (rowKind == PreviewCell::Blank) item->setText(QStringLiteral("(blank line)"));
            table_->setItem(row, 0, item);
            if (columns > 1) table_->setSpan(row, 0, 1, static_cast<int>(columns));
            continue;
        }
        for (std::size_t c = 0; c < fields.size() && c < columns; ++c) {
            auto* item = new QTableWidgetItem(Utf8(fields[c]));
            switch (choice_.CellKind(r, c)) {
                case PreviewCell::Header: {
                    QFont bold = item->font();
                    bold.setBold(true);
                    item->setFont(bold);
                    item->setBackground(header);
                    break;
                }
                case PreviewCell::FirstCoordinate:
                case PreviewCell::SecondCoordinate:
                    item->setBackground(coordinate);
                    break;
                default:
                    break;
            }
            table_->setItem(row, static_cast<int>(c), item);
        }
    }
    table_->resizeColumnsToContents();
}

}  // namespace utm
