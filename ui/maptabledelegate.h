#pragma once

#include <QItemDelegate>
#include <QPersistentModelIndex>
#include <QPointer>

class CanObject;
class MemoryEditWidget;
class QAbstractItemView;

// Edits a mapped object's PLC memory place in the "Memory" cell: the new
// place is claimed before the entry moves, the old one kept when it cannot be.
// Return on a place that cannot be taken keeps the editor open and says
// why; leaving it otherwise keeps the old place and remembers the refused one,
// so that OK can ask about it.
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
    bool eventFilter(QObject *object, QEvent *event) override;

    bool hasRefusedMove() const { return m_refused.position >= 0; }
    // The question OK asks about the refused place.
    QString refusedMoveQuestion() const;
    void dropRefusedMove() { m_refused = RefusedMove(); }
    // Opens the editor again on the object, with the refused place typed in.
    void reopenRefusedMove();

    // Why a place cannot be taken, as the editor and the question say it.
    static QString refusalText(int area, int offset);

private:
    struct RefusedMove {
        quint32 commIndex = 0;
        int position = -1;
        int area = -1;
        int offset = -1;
        quint32 index = 0; // of the object, which another may replace at its position
        quint32 subIndex = 0;
    };
    // False only when the editor holds a place that could not be taken.
    bool applyPlace(MemoryEditWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const;

    CanObject *m_slave = nullptr;
    mutable RefusedMove m_refused;
    mutable QPointer<QAbstractItemView> m_view;
    mutable QPersistentModelIndex m_editedIndex;
};
