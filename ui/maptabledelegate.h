#pragma once

#include <QItemDelegate>

class CanObject;

// Edits a mapped object's PLC memory place in the "Memory" cell: the new
// place is claimed before the entry moves, the old one kept when it cannot be.
class MapTableDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit MapTableDelegate(QObject *parent);

    void setCanObject(CanObject *slave) { m_slave = slave; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

private:
    CanObject *m_slave = nullptr;
};
