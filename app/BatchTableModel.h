#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <string>
#include <vector>

// The rows of the batch converter: one per source sub-folder, its full path
// (kept as the file system's bytes, so any name converts), its status text
// and, for a row that failed, the reason, shown as the status cell's tooltip.
// Column 1 is identified "STATUS" and shows the status; every other
// column (0, "PATH") shows the path. Cells are not editable. Changed only on
// the UI thread, by the controller; the worker never sees it.
class BatchTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kPathColumn = 0;
    static constexpr int kStatusColumn = 1;
    // The role under which headerData gives a column's identifier.
    static constexpr int kIdentifierRole = Qt::UserRole;

    struct Row {
        std::string path;
        QString status;
        QString reason;
    };

    explicit BatchTableModel(QObject* parent = nullptr);

    // Replaces every row; logs "%d elements" with the new count.
    void setRows(std::vector<Row> rows);
    const std::vector<Row>& rows() const { return rows_; }
    // The row's status and the reason its tooltip gives (none: the status).
    void setStatus(std::size_t row, const QString& status, const QString& reason = QString());
    // Every row's status; reasons are cleared.
    void setAllStatuses(const QString& status);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<Row> rows_;
};
