#include "ui/errorcontrolwidget.h"

#include "model/canobject.h"
#include "ui/keptvalue.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

namespace {

QSpinBox *timeBox(QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    // The configuration block carries the times as 16-bit values.
    box->setRange(0, 65535);
    return box;
}

// A time read from a stream may lie beyond the box; untouched, it stays.
qint32 keptTime(qint32 stored, const QSpinBox *box)
{
    return keptOrEdited(stored, qBound(box->minimum(), stored, box->maximum()), box->value());
}

} // namespace

ErrorControlWidget::ErrorControlWidget(QWidget *parent)
    : ITabpage(parent)
{
    setWindowTitle(tr("Error Control"));
    m_monitorLabel = new QLabel(tr("Monitor Timer(ms)"), this);
    m_heartbeatLabel = new QLabel(tr("Heart Beat Timer(ms)"), this);
    m_masterMonitorLabel = new QLabel(tr("Master Monitor Timer(ms)"), this);
    m_monitor = timeBox(this);
    m_heartbeat = timeBox(this);
    m_masterMonitor = timeBox(this);

    m_monitorLabel->setBuddy(m_monitor);
    m_heartbeatLabel->setBuddy(m_heartbeat);
    m_masterMonitorLabel->setBuddy(m_masterMonitor);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_monitorLabel, 0, 0);
    grid->addWidget(m_monitor, 0, 1);
    grid->addWidget(m_heartbeatLabel, 1, 0);
    grid->addWidget(m_heartbeat, 1, 1);
    grid->addWidget(m_masterMonitorLabel, 2, 0);
    grid->addWidget(m_masterMonitor, 2, 1);
}

void ErrorControlWidget::setCanObject(CanObject *slave)
{
    if (!slave)
        return;
    m_slave = slave;
    m_monitor->setValue(slave->monitorTime);
    m_heartbeat->setValue(slave->heartbeatTime);
    m_masterMonitor->setValue(slave->masterMonitorTime);
}

void ErrorControlWidget::applyToCanObject()
{
    if (!m_slave)
        return;
    m_slave->monitorTime = keptTime(m_slave->monitorTime, m_monitor);
    m_slave->heartbeatTime = keptTime(m_slave->heartbeatTime, m_heartbeat);
    m_slave->masterMonitorTime = keptTime(m_slave->masterMonitorTime, m_masterMonitor);
}

void ErrorControlWidget::startHelpSystem()
{
    // Never a tab of its own: the device page answers for it.
}
