#pragma once

#include "ui/itabpage.h"

#include <QList>

class ErrorControlWidget;
class MLineEdit;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;

// The device tab: identity as the EDS gives it, node id, name, error control
// and the start-up checks. The node id goes into the slave as soon as it is
// chosen; everything else only on OK.
class SlaveInfoPage : public ITabpage
{
    Q_OBJECT
public:
    SlaveInfoPage(const QList<int> &nodeIds, QWidget *parent);

    void setCanObject(CanObject *slave) override;
    void applyToCanObject() override;

public slots:
    void setNodeID_slot(int index);
    void setNewName_slot(QString newname);
    void startHelpSystem() override;

private:
    void showCobIds();

    QList<int> m_nodeIds;
    QGroupBox *m_nodeGroup = nullptr;
    QLabel *m_nodeIdLabel = nullptr;
    QComboBox *m_nodeIdCombo = nullptr;
    MLineEdit *m_nameEdit = nullptr;
    QLabel *m_vendorIdLabel = nullptr;
    QLineEdit *m_vendorIdEdit = nullptr;
    QLabel *m_deviceTypeLabel = nullptr;
    QLineEdit *m_deviceTypeEdit = nullptr;
    QLabel *m_productCodeLabel = nullptr;
    QLineEdit *m_productCodeEdit = nullptr;
    QLabel *m_revisionLabel = nullptr;
    QLineEdit *m_revisionEdit = nullptr;
    QLabel *m_emcyCobIdLabel = nullptr;
    QLineEdit *m_emcyCobIdEdit = nullptr;
    QLabel *m_nodeGuardCobIdLabel = nullptr;
    QLineEdit *m_nodeGuardCobIdEdit = nullptr;
    QLabel *m_nameLabel = nullptr;
    ErrorControlWidget *m_errorControl = nullptr;
    QGroupBox *m_checksGroup = nullptr;
    QHBoxLayout *m_checksLayout = nullptr;
    QCheckBox *m_checkVendorId = nullptr;
    QCheckBox *m_checkDeviceType = nullptr;
    QCheckBox *m_checkProductCode = nullptr;
    QCheckBox *m_checkRevision = nullptr;
    QAction *m_helpAction = nullptr;
    CanObject *m_slave = nullptr;
    bool m_loaded = false;
};
