#pragma once

#include "ui/itabpage.h"

class QLabel;
class QSpinBox;

// The three error-control times of a slave, embedded in the device page.
class ErrorControlWidget : public ITabpage
{
    Q_OBJECT
public:
    explicit ErrorControlWidget(QWidget *parent);

    void setCanObject(CanObject *slave) override;
    void applyToCanObject() override;

public slots:
    void startHelpSystem() override;

private:
    QLabel *m_monitorLabel = nullptr;
    QLabel *m_heartbeatLabel = nullptr;
    QLabel *m_masterMonitorLabel = nullptr;
    QSpinBox *m_monitor = nullptr;
    QSpinBox *m_heartbeat = nullptr;
    QSpinBox *m_masterMonitor = nullptr;
    CanObject *m_slave = nullptr;
};
