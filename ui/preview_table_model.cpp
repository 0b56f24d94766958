#include "ui/preview_table_model.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

#include "app/preview_model.h"
#include "ui/qt_text.h"

namespace {
// Cells whose bytes would not come back, and records that would fail.
const QColor kMarkedCell(255, 224, 160);
const QColor kFailedRecord(255, 200, 200);
}

CPreviewTableModel::CPreviewTableModel(CPreviewModel& preview, QObject* parent)
    : QAbstractTableModel(parent), m_preview(preview) {}

void CPreviewTableModel::Reset(std::uint32_t first) {
    beginResetModel();
    m_first = std::min(first, m_preview.RowCount());
    endResetModel();
}

int CPreviewTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(std::min(kMaxRows, m_preview.RowCount() - std::min(m_first, m_preview.RowCount())));
}

int CPreviewTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_preview.Columns().size());
}

QVariant CPreviewTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    const CPreviewRecord& record = m_preview.Row(PreviewRow(index.row()));
    const auto column = static_cast<std::size_t>(index.column());
    const bool failed = !record.failure.empty();
    switch (role) {
    case Qt::DisplayRole:
        // A record that would fail shows why across its first cell.
        if (failed) return column == 0 ? DisplayText(record.failure).replace(QLatin1Char('\n'), QLatin1Char(' ')) : QString();
        return column < record.cells.size() ? FromSystem(record.cells[column]) : QString();
    case Qt::ToolTipRole: return failed ? DisplayText(record.failure) : QVariant();
    case Qt::BackgroundRole:
        if (failed) return QBrush(kFailedRecord);
        if (column < record.marked.size() && record.marked[column]) return QBrush(kMarkedCell);
        return QVariant();
    default: return QVariant();
    }
}

QVariant CPreviewTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) return QVariant();
    if (orientation == Qt::Vertical) return FromSystem(m_preview.RowTitle(PreviewRow(section)));
    const auto& columns = m_preview.Columns();
    return static_cast<std::size_t>(section) < columns.size() ? FromSystem(columns[section].header) : QVariant();
}
