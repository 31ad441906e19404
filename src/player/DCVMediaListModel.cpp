#include "player/DCVMediaListModel.h"

#include "platform/DCVStrings.h"
#include "widgets/TKImage.h"

#include <QFont>

namespace dcv {

DCVMediaListModel::DCVMediaListModel(const DCVMediaList& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list), m_rows(list.medias()) {}

void DCVMediaListModel::setColumnNames(const QStringList& names) {
    m_columnNames = names;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void DCVMediaListModel::reload() {
    beginResetModel();
    m_rows = m_list.medias();
    endResetModel();
}

int DCVMediaListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_rows ? 0 : int(m_rows->size());
}

int DCVMediaListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

DCVMediaPtr DCVMediaListModel::mediaAtRow(int row) const {
    if (!m_rows || row < 0 || size_t(row) >= m_rows->size())
        return nullptr;
    return (*m_rows)[size_t(row)];
}

QString DCVMediaListModel::kindImageName(int row) const {
    const DCVMediaPtr media = mediaAtRow(row);
    return media ? QString::fromStdString(mediaKindImageName(mediaKind(*media))) : QString();
}

QVariant DCVMediaListModel::data(const QModelIndex& index, int role) const {
    const DCVMediaPtr media = mediaAtRow(index.row());
    if (!media || index.column() < 0 || index.column() >= ColumnCount)
        return {};
    const auto column = MediaColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (column == MediaColumn::SaveMode)
            return infoText(mediaKind(*media).textKey);
        if (auto text = mediaCellText(*media, column))
            return QString::fromStdString(*text);
        return {};
    case Qt::DecorationRole:
        if (column == MediaColumn::SaveMode) {
            const QString name = kindImageName(index.row());
            if (!name.isEmpty())
                return TKImage::imageNamed(name).pixmap();
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(
            (mediaColumnCentred(column) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter));
    case Qt::FontRole: {
        // The layouts' points are device-independent pixels.
        QFont font;
        font.setPixelSize(11);
        return font;
    }
    case Qt::ToolTipRole:
        return QString::fromStdString(media->path());
    default:
        return {};
    }
}

QVariant DCVMediaListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return section < m_columnNames.size() ? m_columnNames[section] : QString();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((mediaColumnCentred(MediaColumn(section)) ? Qt::AlignHCenter : Qt::AlignLeft) |
                          Qt::AlignVCenter));
    return {};
}

} // namespace dcv
