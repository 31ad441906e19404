#pragma once

#include <QTableView>

namespace dcv {

// The recordings table: a plain table that tells, while it has no rows, how to get some.
class DCVMediaListTableView : public QTableView {
    Q_OBJECT
public:
    explicit DCVMediaListTableView(QWidget* parent = nullptr);
    void setEmptyText(const QString& text);
    QString emptyText() const { return m_emptyText; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_emptyText;
};

} // namespace dcv
