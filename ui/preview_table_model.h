#pragma once
#include <QAbstractTableModel>
#include <cstdint>

class CPreviewModel;

// The preview's records as a table for Qt's views: a window of rows from a first record on, so
// that the views' pixel arithmetic stays small even for the largest files. Rows are read only
// when a view asks for them.
class CPreviewTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr std::uint32_t kMaxRows = 100000;

    CPreviewTableModel(CPreviewModel& preview, QObject* parent);

    // Shows the preview again, from the given row of the preview on.
    void Reset(std::uint32_t first);
    std::uint32_t First() const { return m_first; }
    // The preview's row shown in the table's row.
    std::uint32_t PreviewRow(int row) const { return m_first + static_cast<std::uint32_t>(row); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    CPreviewModel& m_preview;
    std::uint32_t m_first = 0;
};
