#pragma once

#include "recordings/DCVMediaList.h"
#include "recordings/MediaCellText.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace dcv {

// The rows of the recordings table: one per entry of the list, as it was at the last reload.
// The list publishes a new snapshot from its worker; the model takes it on the main thread
// only, in reload.
class DCVMediaListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { SaveMode = 0, Date = 1, Time = 2, File = 3, ColumnCount = 4 };

    explicit DCVMediaListModel(const DCVMediaList& list, QObject* parent = nullptr);

    void setColumnNames(const QStringList& names);
    void reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The entry of a row, or none.
    DCVMediaPtr mediaAtRow(int row) const;
    // Image name of the kind cell ("car_alwa" …), empty for an unknown kind.
    QString kindImageName(int row) const;

private:
    const DCVMediaList& m_list;
    DCVMediaList::Snapshot m_rows;
    QStringList m_columnNames;
};

} // namespace dcv
