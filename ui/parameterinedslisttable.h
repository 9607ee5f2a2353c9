#pragma once

#include <QList>
#include <QWidget>

struct EdsEntry;

class CanObject;
class QTableWidget;
class QTableWidgetItem;

// Objects of the device's dictionary: the ones the EDS allows to be mapped, or
// the ones an SDO may write; the user picks one by double-click.
class ParameterInEdsListTable : public QWidget
{
    Q_OBJECT
public:
    explicit ParameterInEdsListTable(QWidget *parent);

    // Lists the slave's mappable objects; a receive PDO (direction 'R') is
    // offered only objects that can be written.
    void fillTable(const CanObject *slave, int direction);
    // Lists these objects: index, sub-index, access, name, type and size.
    void fillEntries(const QList<EdsEntry> &entries);
    QTableWidget *table() const { return m_table; }

signals:
    void itemclicked(int index, int subIndex, int value);
    void selectionChanged();

public slots:
    void listTableDoubleClicked_slot(QTableWidgetItem *item);

private:
    QTableWidget *m_table = nullptr;
};
