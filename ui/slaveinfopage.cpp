#include "ui/slaveinfopage.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "ui/errorcontrolwidget.h"
#include "ui/numbertext.h"
#include "ui/slavenametext.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

constexpr int maxNameLength = 24;

QLineEdit *displayEdit(QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setEnabled(false);
    return edit;
}

} // namespace

SlaveInfoPage::SlaveInfoPage(const QList<int> &nodeIds, QWidget *parent)
    : ITabpage(parent)
    , m_nodeIds(nodeIds)
{
    m_nodeGroup = new QGroupBox(tr("Node Information"), this);
    m_nodeIdLabel = new QLabel(tr("Node ID"), m_nodeGroup);
    m_nodeIdCombo = new QComboBox(m_nodeGroup);
    for (int id : qAsConst(m_nodeIds))
        m_nodeIdCombo->addItem(QString::number(id));
    m_nameEdit = new MLineEdit(QString(), m_nodeGroup);
    m_nameEdit->setMaxLength(maxNameLength);
    m_vendorIdLabel = new QLabel(tr("Vendor ID"), m_nodeGroup);
    m_vendorIdEdit = displayEdit(m_nodeGroup);
    m_deviceTypeLabel = new QLabel(tr("Device Type"), m_nodeGroup);
    m_deviceTypeEdit = displayEdit(m_nodeGroup);
    m_productCodeLabel = new QLabel(tr("Product Code"), m_nodeGroup);
    m_productCodeEdit = displayEdit(m_nodeGroup);
    m_revisionLabel = new QLabel(tr("Revision Number"), m_nodeGroup);
    m_revisionEdit = displayEdit(m_nodeGroup);
    m_emcyCobIdLabel = new QLabel(tr("Emergency COB-ID"), m_nodeGroup);
    m_emcyCobIdEdit = displayEdit(m_nodeGroup);
    m_nodeGuardCobIdLabel = new QLabel(tr("Node Guard COB-ID"), m_nodeGroup);
    m_nodeGuardCobIdEdit = displayEdit(m_nodeGroup);
    m_nameLabel = new QLabel(tr("Name"), m_nodeGroup);

    m_nodeIdLabel->setBuddy(m_nodeIdCombo);
    m_nameLabel->setBuddy(m_nameEdit);
    m_vendorIdLabel->setBuddy(m_vendorIdEdit);
    m_deviceTypeLabel->setBuddy(m_deviceTypeEdit);
    m_productCodeLabel->setBuddy(m_productCodeEdit);
    m_revisionLabel->setBuddy(m_revisionEdit);
    m_emcyCobIdLabel->setBuddy(m_emcyCobIdEdit);
    m_nodeGuardCobIdLabel->setBuddy(m_nodeGuardCobIdEdit);

    auto *grid = new QGridLayout(m_nodeGroup);
    grid->addWidget(m_nodeIdLabel, 0, 0);
    grid->addWidget(m_nodeIdCombo, 0, 1);
    grid->addWidget(m_nameLabel, 0, 2);
    grid->addWidget(m_nameEdit, 0, 3);
    grid->addWidget(m_vendorIdLabel, 1, 0);
    grid->addWidget(m_vendorIdEdit, 1, 1);
    grid->addWidget(m_deviceTypeLabel, 1, 2);
    grid->addWidget(m_deviceTypeEdit, 1, 3);
    grid->addWidget(m_productCodeLabel, 2, 0);
    grid->addWidget(m_productCodeEdit, 2, 1);
    grid->addWidget(m_revisionLabel, 2, 2);
    grid->addWidget(m_revisionEdit, 2, 3);
    grid->addWidget(m_emcyCobIdLabel, 3, 0);
    grid->addWidget(m_emcyCobIdEdit, 3, 1);
    grid->addWidget(m_nodeGuardCobIdLabel, 3, 2);
    grid->addWidget(m_nodeGuardCobIdEdit, 3, 3);
    // Room for a product name next to the device type.
    grid->setColumnStretch(3, 1);
    m_deviceTypeEdit->setMinimumWidth(220);

    auto *errorGroup = new QGroupBox(tr("Error Control"), this);
    m_errorControl = new ErrorControlWidget(errorGroup);
    auto *errorLayout = new QHBoxLayout(errorGroup);
    errorLayout->addWidget(m_errorControl);
    errorLayout->addStretch();

    m_checksGroup = new QGroupBox(tr("Checks at Startup"), this);
    m_checksLayout = new QHBoxLayout(m_checksGroup);
    m_checkVendorId = new QCheckBox(tr("Check Vendor ID"), m_checksGroup);
    m_checkDeviceType = new QCheckBox(tr("Check Device Type"), m_checksGroup);
    m_checkProductCode = new QCheckBox(tr("Check Product Code"), m_checksGroup);
    m_checkRevision = new QCheckBox(tr("Check Revision Number"), m_checksGroup);
    m_checksLayout->addWidget(m_checkVendorId);
    m_checksLayout->addWidget(m_checkDeviceType);
    m_checksLayout->addWidget(m_checkProductCode);
    m_checksLayout->addWidget(m_checkRevision);
    m_checksLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_nodeGroup);
    layout->addWidget(errorGroup);
    layout->addWidget(m_checksGroup);
    layout->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));

    m_helpAction = new QAction(tr("help"), this);
    m_helpAction->setShortcut(QKeySequence(QStringLiteral("F1")));
    addAction(m_helpAction);

    // Connected only now, so filling the list selects nothing on a slave yet.
    connect(m_nodeIdCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SlaveInfoPage::setNodeID_slot);
    connect(m_helpAction, &QAction::triggered, this, &SlaveInfoPage::startHelpSystem);
}

void SlaveInfoPage::setCanObject(CanObject *slave)
{
    // Filled once per dialog, so coming back to the tab keeps what was typed.
    if (!slave || m_loaded)
        return;
    m_loaded = true;
    m_errorControl->setCanObject(slave);
    m_slave = slave;

    m_nodeIdCombo->setCurrentIndex(m_nodeIdCombo->findText(QString::number(slave->nodeId)));
    m_nameEdit->setText(shownSlaveName(slave->name));
    m_vendorIdEdit->setText(hex8Text(slave->vendorId));
    const QString productName = getCanSlaveProductName(QFileInfo(slave->edsFile).fileName());
    m_deviceTypeEdit->setText(QStringLiteral("%1(%2)").arg(productName, hex8Text(slave->deviceType)));
    m_productCodeEdit->setText(hex8Text(slave->productCode));
    m_revisionEdit->setText(hex8Text(slave->revisionNumber));
    showCobIds();
    m_checkVendorId->setChecked(!slave->skipVendorIdCheck);
    m_checkDeviceType->setChecked(!slave->skipDeviceTypeCheck);
    m_checkProductCode->setChecked(!slave->skipProductCodeCheck);
    m_checkRevision->setChecked(!slave->skipRevisionCheck);
}

void SlaveInfoPage::applyToCanObject()
{
    if (!m_slave)
        return;
    m_errorControl->applyToCanObject();
    // The edit cuts a long name to what may be typed; untouched, the name stays whole.
    const QString filledWith = shownSlaveName(m_slave->name).left(maxNameLength);
    if (m_nameEdit->text() != filledWith)
        m_slave->name = storedSlaveName(m_nameEdit->text());
    m_slave->skipVendorIdCheck = !m_checkVendorId->isChecked();
    m_slave->skipDeviceTypeCheck = !m_checkDeviceType->isChecked();
    m_slave->skipProductCodeCheck = !m_checkProductCode->isChecked();
    m_slave->skipRevisionCheck = !m_checkRevision->isChecked();
}

void SlaveInfoPage::setNodeID_slot(int index)
{
    if (!m_slave || index < 0 || index >= m_nodeIds.size())
        return;
    // At once: the other pages show COB-IDs that follow the node id.
    m_slave->setNodeId(quint8(m_nodeIds.at(index)));
    showCobIds();
}

void SlaveInfoPage::setNewName_slot(QString newname)
{
    if (m_slave)
        m_slave->name = newname;
}

void SlaveInfoPage::startHelpSystem()
{
    openSlaveConfigHelp();
}

void SlaveInfoPage::showCobIds()
{
    m_emcyCobIdEdit->setText(hexText(m_slave->emcyCobId()));
    m_nodeGuardCobIdEdit->setText(hexText(m_slave->nodeGuardCobId()));
}
