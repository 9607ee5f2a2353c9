#pragma once

#include <QDialog>

class CanObject;
class PDOParameterListTable;
class ParameterInEdsListTable;
class QLabel;
class QSplitter;
struct EdsEntry;
struct PDOConfig;

// The objects one PDO carries. Picks go into the live record and the memory
// book at once; whoever opens the dialog rolls both back when it is cancelled.
class PDOParameterEditDialog : public QDialog
{
    Q_OBJECT
public:
    PDOParameterEditDialog(CanObject *slave, quint32 commIndex, QWidget *parent);

    ParameterInEdsListTable *edsTable() const { return m_edsTable; }
    PDOParameterListTable *mappedTable() const { return m_mappedTable; }
    QSplitter *splitter() const { return m_splitter; }

public slots:
    void startHelpSystem();
    void insertParameter(int index, int subIndex, int value);
    void slot_add();

private:
    void mapEntry(const EdsEntry &entry);
    // True, after telling the user, when the PDO's mapping is fixed.
    bool refuseFixedMapping();
    void refreshMappedTable();
    // "6 of 8 bytes": how full the PDO is.
    void showFill();
    // Looked up at each use: the slave's lists may have moved since the last one.
    PDOConfig *pdo() const;

    CanObject *m_slave = nullptr;
    quint32 m_commIndex = 0;
    QLabel *m_indexValue = nullptr;
    QLabel *m_nameValue = nullptr;
    QLabel *m_fillValue = nullptr;
    QSplitter *m_splitter = nullptr;
    ParameterInEdsListTable *m_edsTable = nullptr;
    PDOParameterListTable *m_mappedTable = nullptr;
};
