#include "ui/pdoparametereditdialog.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "model/memoryplacement.h"
#include "ui/newpdodialog.h"
#include "ui/numbertext.h"
#include "ui/parameterinedslisttable.h"
#include "ui/pdoparameterlisttable.h"

#include <algorithm>

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QTableWidget>
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

PDOParameterEditDialog::PDOParameterEditDialog(CanObject *slave, quint32 commIndex, QWidget *parent)
    : QDialog(parent)
    , m_slave(slave)
    , m_commIndex(commIndex)
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
    m_fillValue = valueLabel(this);
    header->addWidget(new QLabel(tr("Length"), this));
    header->addWidget(m_fillValue);

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setStyleSheet(QStringLiteral("QSplitter::handle { background: lightgrey; }"));
    m_splitter->setHandleWidth(1);
    m_edsTable = new ParameterInEdsListTable(this);
    m_mappedTable = new PDOParameterListTable(this, false);
    m_splitter->addWidget(labelledPart(tr("Parameter In EDS File:"), m_edsTable, m_splitter));
    m_splitter->addWidget(labelledPart(tr("Parameter Already Mapped:"), m_mappedTable, m_splitter));
    m_splitter->setChildrenCollapsible(false);
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
    // However the mapped objects change (added here, removed in the table), the fill follows.
    connect(m_mappedTable->table()->model(), &QAbstractItemModel::rowsInserted, this, &PDOParameterEditDialog::showFill);
    connect(m_mappedTable->table()->model(), &QAbstractItemModel::rowsRemoved, this, &PDOParameterEditDialog::showFill);

    if (const PDOConfig *edited = pdo()) {
        m_edsTable->fillTable(m_slave, edited->direction);
        refreshMappedTable();
        m_indexValue->setText(hexText(edited->commIndex));
        m_nameValue->setText(edited->name);
        showFill();
    }
}

void PDOParameterEditDialog::showFill()
{
    if (const PDOConfig *edited = pdo())
        m_fillValue->setText(tr("%1 of 8 bytes").arg(CanObject::pdoByteLength(*edited)));
}

PDOConfig *PDOParameterEditDialog::pdo() const
{
    return m_slave ? m_slave->pdo(m_commIndex) : nullptr;
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
    PDOConfig *edited = pdo();
    if (!edited)
        return;
    switch (mapAndPlace(*m_slave, *edited, entry)) {
    case -1:
        return;
    case -2:
        QMessageBox::warning(this, windowTitle(), tr("The length of PDO has reached the maximum number 8 bytes."),
                             QMessageBox::Ok);
        return;
    case MapNoPlace:
        QMessageBox::information(this, windowTitle(), tr("Memory map error, no more available!"), QMessageBox::Ok);
        return;
    default:
        refreshMappedTable();
    }
}

bool PDOParameterEditDialog::refuseFixedMapping()
{
    // Read-only objects come from a mapping the device keeps as it is: it refuses
    // any object added to it at start-up.
    const PDOConfig *edited = pdo();
    const bool fixed = edited && std::any_of(edited->mapList.cbegin(), edited->mapList.cend(),
                                             [](const PDOMapEntry &entry) { return entry.readOnly; });
    if (fixed)
        QMessageBox::information(this, windowTitle(), tr("Parameter Can Not Be Added To ReadOnly PDO!"), QMessageBox::Ok);
    return fixed;
}

void PDOParameterEditDialog::refreshMappedTable()
{
    m_mappedTable->fillTable(m_slave, m_commIndex);
}
