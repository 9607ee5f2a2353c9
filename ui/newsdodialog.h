#pragma once

#include <QDialog>
#include <QList>

#include "model/slaverecords.h"

class CanObject;
class HexSpinBox;
class ParameterInEdsListTable;
class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidgetItem;

// Defines automatic SDOs: "New SDO" makes entries from the device's writable
// objects, "Edit SDO" changes one entry in place. OK is only enabled while the
// value fits the chosen length.
class NewSDODialog : public QDialog
{
    Q_OBJECT
public:
    explicit NewSDODialog(QWidget *parent);

    // Empty when cancelled or when nothing was chosen.
    QList<SDOEntry> execNew(CanObject *slave);
    void execEdit(SDOEntry *entry, CanObject *slave);

    ParameterInEdsListTable *parameterList() const { return m_parameters; }

public slots:
    void checkDataValid(int);
    void checkDataValid(const QString &strData);
    void startHelpSystem();
    void insertParemeter_slot(int index, int subIndex, int value);
    void tblWidetItemSelectionChanged();
    void tblWidetCurrentItemChanged(QTableWidgetItem *current, QTableWidgetItem *previous);

private:
    void showWritableParameters(CanObject *slave);
    // The size of the EDS object, kept to what an SDO carries; 0 when it is unknown.
    int objectLength(int index, int subIndex) const;
    QString objectName(int index, int subIndex) const;
    bool rowObject(int row, int &index, int &subIndex) const;
    // The rows of the parameter list that are selected, ascending.
    QList<int> selectedRows() const;

    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    ParameterInEdsListTable *m_parameters = nullptr;
    QLabel *m_indexLabel = nullptr;
    QLabel *m_subIndexLabel = nullptr;
    HexSpinBox *m_indexBox = nullptr;
    HexSpinBox *m_subIndexBox = nullptr;
    QLabel *m_lengthLabel = nullptr;
    QSpinBox *m_lengthBox = nullptr;
    QLabel *m_dataLabel = nullptr;
    QLineEdit *m_dataEdit = nullptr;
    QAction *m_helpAction = nullptr;
    CanObject *m_slave = nullptr;
};
