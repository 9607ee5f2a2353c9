#pragma once

#include "ui/itabpage.h"

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
struct PDOConfig;

// The PDO tab: the PDOs the EDS offers and the ones the slave uses. Adding,
// removing, mapping and the communication parameters go into the slave (and
// the memory book) at once; the dialog frame keeps or discards the whole copy.
class PDOpage : public ITabpage
{
    Q_OBJECT
public:
    explicit PDOpage(QWidget *parent);

    void setCanObject(CanObject *slave) override;
    void applyToCanObject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    QTableWidget *edsTable() const { return m_edsTable; }
    QTableWidget *mappedTable() const { return m_mappedTable; }
    QMenu *contextMenu() const { return m_menu; }

public slots:
    void edsPdoTableItemDoubleClicked_slot(QTableWidgetItem *item);
    void mappedTableItemDoubleClicked_slot(QTableWidgetItem *item);
    void configMappedPDO_slot();
    void addMap_slot();
    void remove_slot();
    void showMappedProperty_slot();
    void setNewName_slot(QString newname);
    void startHelpSystem() override;

private:
    void fillEdsTable();
    void fillMappedTable();
    void insertMappedRow(int row, const PDOConfig &pdo);
    void showMappedRow(int row, const PDOConfig &pdo);
    void addEdsPdo(const QTableWidgetItem *indexItem);

    QGroupBox *m_edsGroup = nullptr;
    QTableWidget *m_edsTable = nullptr;
    QGroupBox *m_mappedGroup = nullptr;
    QTableWidget *m_mappedTable = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_removeButton = nullptr;
    QPushButton *m_configButton = nullptr;
    QPushButton *m_propertyButton = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_addAction = nullptr;
    QAction *m_removeAction = nullptr;
    QAction *m_configAction = nullptr;
    QAction *m_propertyAction = nullptr;
    QAction *m_helpAction = nullptr;
    CanObject *m_slave = nullptr;
};
