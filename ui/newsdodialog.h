#pragma once

#include <QDialog>
#include <QList>
#include <QPair>


#include "eds/edsentry.h"
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
struct SdoValueProblem;

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

private:
    void showWritableParameters(CanObject *slave);
    // Looks up the object the boxes name and shows what it is.
    void showObject();
    void objectChanged();
    QString problemText(const SdoValueProblem &problem, const QString &typeName) const;
    // The bytes an SDO of a chosen row writes: its object's size, 1 to 4; 4 when the object is unknown.
    int rowLength(int index, int subIndex) const;
    QString objectName(int index, int subIndex) const;
    // Index and sub-index of the object a row of the list names.
    QPair<int, int> rowObject(int row) const;
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
    QLabel *m_objectLabel = nullptr;
    QLabel *m_problemLabel = nullptr;
    QAction *m_helpAction = nullptr;
    CanObject *m_slave = nullptr;
    EdsEntry m_object;
    bool m_objectKnown = false;
    bool m_objectNamed = false; // typed, or the edited entry's
};
