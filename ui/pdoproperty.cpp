#include "ui/pdoproperty.h"

#include "model/canobject.h"
#include "model/hostservices.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The inhibit time is kept in units of 100 us and typed in ms, to the tenth.
constexpr double inhibitUnitsPerMs = 10.0;
constexpr int lastCyclicType = 240;

} // namespace

PDOProperty::PDOProperty(PDOConfig *record, QWidget *parent)
    : QDialog(parent)
    , m_record(record)
{
    m_nameLabel = new QLabel(tr("TxPDO"), this);
    m_cobIdLabel = new QLabel(tr("COB ID"), this);
    m_cobIdEdit = new QLineEdit(this);
    m_cobIdEdit->setEnabled(false);

    m_timerGroup = new QGroupBox(tr("Communication Timer"), this);
    m_timerGrid = new QGridLayout(m_timerGroup);
    m_timerGrid->setSpacing(2);
    m_timerGrid->setContentsMargins(0, 0, 0, 0);
    m_eventTimer = new QSpinBox(m_timerGroup);
    m_eventTimer->setRange(0, 65535);
    m_inhibitTime = new QDoubleSpinBox(m_timerGroup);
    m_inhibitTime->setDecimals(1);
    m_inhibitTime->setSingleStep(0.1);
    m_inhibitTime->setRange(0, 65535 / inhibitUnitsPerMs);
    m_timerGrid->addWidget(new QLabel(tr("Event Timer(ms)"), m_timerGroup), 0, 0);
    m_timerGrid->addWidget(m_eventTimer, 0, 1);
    m_timerGrid->addWidget(new QLabel(tr("Inhibit Timer(ms)"), m_timerGroup), 1, 0);
    m_timerGrid->addWidget(m_inhibitTime, 1, 1);

    m_typeLabel = new QLabel(tr("Transmit Type"), this);
    m_typeCombo = new QComboBox(this);
    m_typeCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_okButton = new QPushButton(tr("OK"), this);
    m_cancelButton = new QPushButton(tr("Cancel"), this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 1, 3, 1);
    layout->setSpacing(1);
    layout->addWidget(m_nameLabel);
    auto *cobIdRow = new QHBoxLayout;
    cobIdRow->addWidget(m_cobIdLabel);
    cobIdRow->addWidget(m_cobIdEdit);
    layout->addLayout(cobIdRow);
    layout->addWidget(m_timerGroup);
    auto *typeRow = new QHBoxLayout;
    typeRow->addWidget(m_typeLabel);
    typeRow->addWidget(m_typeCombo);
    layout->addLayout(typeRow);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_okButton);
    buttonRow->addWidget(m_cancelButton);
    layout->addLayout(buttonRow);

    connect(m_okButton, &QPushButton::clicked, this, &PDOProperty::accept_slot);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_typeCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { updateEventTime(m_typeCombo->itemText(index)); });

    // A receive PDO has no use for the timers.
    if (m_record->direction == PdoReceive) {
        m_eventTimer->setEnabled(false);
        m_inhibitTime->setEnabled(false);
    }
    m_nameLabel->setText(m_record->name);
    m_cobIdEdit->setText(QString::number(CanObject::effectiveCobId(*m_record), 16));
    m_eventTimer->setValue(m_record->eventTimer);
    m_inhibitTime->setValue(m_record->inhibitTime / inhibitUnitsPerMs);

    addTypeItem(tr("0 - synchronous(acyclic)"), 0);
    for (int value = 1; value <= lastCyclicType; ++value)
        addTypeItem(tr("%1 - synchronous(cyclic)"), value);
    if (isTransmit()) {
        addTypeItem(tr("%1 - synchronous(RTR only)"), 252);
        addTypeItem(tr("%1 - asynchronous(RTR only)"), 253);
    }
    addTypeItem(tr("%1 - asynchronous"), 254);
    addTypeItem(tr("%1 - asynchronous"), 255);

    // A type the list does not offer is shown as the first item; it is kept
    // unless the user picks another.
    const int found = m_typeCombo->findData(int(m_record->transmissionType), Qt::UserRole, Qt::MatchExactly);
    m_typeCombo->setCurrentIndex(qMax(found, 0));
    updateEventTime(m_typeCombo->currentText());
    m_typeKept = found < 0;
    connect(m_typeCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this]() { m_typeKept = false; });
    // Larger only when the platform's font needs more room for a long name or type text.
    setFixedSize(QSize(270, 200).expandedTo(sizeHint()));
}

void PDOProperty::addTypeItem(const QString &pattern, int value)
{
    const QString text = pattern.contains(QLatin1String("%1")) ? pattern.arg(value) : pattern;
    m_typeCombo->addItem(text, value);
}

bool PDOProperty::isTransmit() const
{
    return m_record->direction == PdoTransmit;
}

void PDOProperty::updateEventTime(const QString &curText)
{
    if (!isTransmit())
        return;
    // Only the asynchronous types use the timers.
    const QString async = tr("%1 - asynchronous");
    const bool timed = curText == async.arg(254) || curText == async.arg(255);
    m_eventTimer->setEnabled(timed);
    m_inhibitTime->setEnabled(timed);
}

void PDOProperty::accept_slot()
{
    m_record->eventTimer = quint16(m_eventTimer->value());
    m_record->inhibitTime = quint16(qRound(m_inhibitTime->value() * inhibitUnitsPerMs));
    if (m_typeCombo->currentIndex() >= 0 && !m_typeKept)
        m_record->transmissionType = quint8(m_typeCombo->currentData().toInt());
    accept();
}

void PDOProperty::startHelpSystem()
{
    openSlaveConfigHelp();
}
