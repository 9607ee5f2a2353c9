#pragma once

#include "eds/edsentry.h"

#include <QDialog>

class HexSpinBox;
class QComboBox;
class QLineEdit;

// Describes an object the EDS does not list, so it can be mapped all the same.
class NewPDODialog : public QDialog
{
    Q_OBJECT
public:
    explicit NewPDODialog(QWidget *parent);

    // Runs the dialog; the entry typed in when accepted, else one with data type 0.
    EdsEntry runForEntry();

    HexSpinBox *indexBox() const { return m_indexBox; }
    HexSpinBox *subIndexBox() const { return m_subIndexBox; }
    QComboBox *typeCombo() const { return m_typeCombo; }
    QLineEdit *nameEdit() const { return m_nameEdit; }

public slots:
    void startHelpSystem();

private:
    HexSpinBox *m_indexBox = nullptr;
    HexSpinBox *m_subIndexBox = nullptr;
    QComboBox *m_typeCombo = nullptr;
    QLineEdit *m_nameEdit = nullptr;
};
