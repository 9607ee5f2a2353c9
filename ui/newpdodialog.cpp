#include "ui/newpdodialog.h"

#include "model/hostservices.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The combo box lists INTEGER8 (code 2) to UNSIGNED32 (code 7) in code order.
constexpr int firstTypeCode = DataTypeInteger8;
constexpr int defaultTypePosition = DataTypeUnsigned16 - firstTypeCode;

} // namespace

NewPDODialog::NewPDODialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("New PDO"));
    resize(800, 100);

    m_indexBox = new HexSpinBox(this);
    m_indexBox->setRange(1, 0xFFFF);
    m_subIndexBox = new HexSpinBox(this);
    m_subIndexBox->setRange(0, 0xFF);
    m_typeCombo = new QComboBox(this);
    m_typeCombo->addItems({tr("Int8"), tr("Int16"), tr("Int32"), tr("UInt8"), tr("UInt16"), tr("UInt32")});
    m_typeCombo->setCurrentIndex(defaultTypePosition);
    m_nameEdit = new QLineEdit(tr("NewPar0"), this);
    m_nameEdit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    // One row, each field after its label.
    auto *fields = new QHBoxLayout;
    const QPair<QString, QWidget *> labelled[] = {{tr("Index(hex)"), m_indexBox}, {tr("Sub Index(hex))"), m_subIndexBox},
                                                  {tr("Data Type"), m_typeCombo}, {tr("Parameter Name"), m_nameEdit}};
    for (const auto &[text, field] : labelled) {
        auto *label = new QLabel(text, this);
        label->setBuddy(field);
        fields->addWidget(label);
        fields->addWidget(field);
    }

    auto *ok = new QPushButton(tr("OK"), this);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    auto *help = new QAction(tr("help"), this);
    help->setShortcut(QKeySequence(QStringLiteral("F1")));
    addAction(help);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QAction::triggered, this, &NewPDODialog::startHelpSystem);
}

EdsEntry NewPDODialog::runForEntry()
{
    EdsEntry entry;
    if (exec() != QDialog::Accepted) {
        entry.dataType = 0;
        return entry;
    }
    entry.index = m_indexBox->value();
    entry.subIndex = m_subIndexBox->value();
    entry.dataType = quint8(m_typeCombo->currentIndex() + firstTypeCode);
    entry.parameterName = m_nameEdit->text();
    return entry;
}

void NewPDODialog::startHelpSystem()
{
    openSlaveConfigHelp();
}
