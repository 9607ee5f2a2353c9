#pragma once

#include <QWidget>

class CanObject;
class MapTableDelegate;
class QAction;
class QMenu;
class QTableWidget;
class QTableWidgetItem;
struct PDOConfig;

// The objects mapped into a list of PDOs, with type, PLC memory place and
// "Clear When Stop". Removing objects, toggling "Clear When Stop" and moving
// objects in PLC memory happen here, in the slave and the memory book at once.
class PDOParameterListTable : public QWidget
{
    Q_OBJECT
public:
    // withMemoryColumns: show "Memory" and "Clear When Stop" and handle double-clicks.
    PDOParameterListTable(QWidget *parent, bool withMemoryColumns);

    // The objects of every PDO of the slave, in list order; or of one PDO.
    void fillTable(CanObject *slave);
    void fillTable(CanObject *slave, quint32 commIndex);
    QTableWidget *table() const { return m_table; }
    QMenu *contextMenu() const { return m_menu; }

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void addActClicked();

public slots:
    void mappedTableCellDoubleClicked_slot(QTableWidgetItem *item);
    void slot_remove();
    void slot_add();

private:
    // An in-cell editor is open and has the keyboard.
    bool editorHasFocus() const;
    // F2 or Return: the memory editor on the current row, where the table has one.
    void editCurrentPlace();

    QTableWidget *m_table = nullptr;
    void refill();

    CanObject *m_slave = nullptr;
    bool m_allPdos = true;
    quint32 m_commIndex = 0;
    QMenu *m_menu = nullptr;
    QAction *m_addAction = nullptr;
    QAction *m_removeAction = nullptr;
    MapTableDelegate *m_delegate = nullptr;
    bool m_withMemoryColumns = false;
};
