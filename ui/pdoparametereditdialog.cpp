#include "ui/pdoparametereditdialog.h"

#include "compile/memoryplacement.h"
#include "plugin/canobject.h"
#include "plugin/hostservices.h"
#include "ui/newpdodialog.h"
#include "ui/numbertext.h"
#include "ui/parameterinedslisttable.h"
#include "ui/pdoparameterlisttable.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

QFrame *separatorLine(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel *valueLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    return label;
}

QWidget *labelledPart(const QString &title, QWidget *table, QWidget *parent)
{
    auto *part = new QWidget(parent);
    auto *layout = new QVBoxLayout(part);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title, part));
    table->setParent(part);
    layout->addWidget(table);
    return part;
}

} // namespace

PDOParameterEditDialog::PDOParameterEditDialog(CanObject *slave, PDOConfig *pdo, QWidget *parent)
    : QDialog(parent)
    , m_slave(slave)
    , m_pdo(pdo)
{
    setWindowTitle(tr("PDO Mapping"));
    resize(800, 600);

    m_indexValue = valueLabel(this);
    m_nameValue = valueLabel(this);
    auto *header = new QHBoxLayout;
    header->addWidget(new QLabel(tr("Index"), this));
    header->addWidget(m_indexValue);
    header->addWidget(new QLabel(tr("Name"), this));
    header->addWidget(m_nameValue);

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setStyleSheet(QStringLiteral("QSplitter::handle { background: lightgrey; }"));
    m_splitter->setHandleWidth(1);
    m_edsTable = new ParameterInEdsListTable(this);
    m_mappedTable = new PDOParameterListTable(this, false);
    m_splitter->addWidget(labelledPart(tr("Parameter In EDS File:"), m_edsTable, m_splitter));
    m_splitter->addWidget(labelledPart(tr("Parameter Already Mapped:"), m_mappedTable, m_splitter));
    m_splitter->setCollapsible(0, false);
    m_splitter->setCollapsible(1, false);
    m_splitter->setStretchFactor(0, 2);
    m_splitter->setStretchFactor(1, 1);

    auto *ok = new QPushButton(tr("OK"), this);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(separatorLine(this));
    layout->addWidget(m_splitter);
    layout->addWidget(separatorLine(this));
    layout->addLayout(buttons);

    auto *help = new QAction(tr("help"), this);
    help->setShortcut(QKeySequence(QStringLiteral("F1")));
    addAction(help);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QAction::triggered, this, &PDOParameterEditDialog::startHelpSystem);
    connect(m_edsTable, &ParameterInEdsListTable::itemclicked, this, &PDOParameterEditDialog::insertParameter);
    connect(m_mappedTable, &PDOParameterListTable::addActClicked, this, &PDOParameterEditDialog::slot_add);

    if (m_pdo) {
        m_edsTable->fillTable(m_slave, m_pdo->direction);
        refreshMappedTable();
        m_indexValue->setText(hexText(m_pdo->commIndex));
        m_nameValue->setText(m_pdo->name);
    }
}

void PDOParameterEditDialog::startHelpSystem()
{
    openSlaveConfigHelp();
}

void PDOParameterEditDialog::insertParameter(int index, int subIndex, int)
{
    EdsEntry entry;
    if (!m_slave || m_slave->findMappable(index, subIndex, entry) < 0 || refuseFixedMapping())
        return;
    mapEntry(entry);
}

void PDOParameterEditDialog::slot_add()
{
    if (refuseFixedMapping())
        return;
    NewPDODialog dialog(this);
    const EdsEntry entry = dialog.runForEntry();
    if (entry.dataType == 0)
        return;
    mapEntry(entry);
}

void PDOParameterEditDialog::mapEntry(const EdsEntry &entry)
{
    if (!m_slave || !m_pdo)
        return;
    const int position = CanObject::addMapEntry(*m_pdo, entry, -1);
    if (position == -1)
        return;
    if (position == -2) {
        QMessageBox::warning(this, windowTitle(), tr("The length of PDO has reached the maximum number 8 bytes."),
                             QMessageBox::Ok);
        return;
    }
    if (placeNewEntry(m_slave->projectKey, *m_pdo, m_pdo->mapList[position])) {
        refreshMappedTable();
        return;
    }
    QMessageBox::information(this, windowTitle(), tr("Memory map error, no more available!"), QMessageBox::Ok);
    // The entry holds no memory yet, so there is nothing to free.
    CanObject::removeMapEntry(*m_pdo, position);
}

bool PDOParameterEditDialog::refuseFixedMapping()
{
    if (!m_pdo)
        return false;
    // Read-only objects come from a mapping the device keeps as it is: it refuses
    // any object added to it at start-up.
    for (const PDOMapEntry &entry : qAsConst(m_pdo->mapList)) {
        if (entry.readOnly) {
            QMessageBox::information(this, windowTitle(), tr("Parameter Can Not Be Added To ReadOnly PDO!"),
                                     QMessageBox::Ok);
            return true;
        }
    }
    return false;
}

void PDOParameterEditDialog::refreshMappedTable()
{
    m_mappedTable->fillTable(m_slave, {m_pdo});
}
